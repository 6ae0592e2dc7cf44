// SPDX-License-Identifier: MIT
#include "zoomoptions.h"

#include "app/settings/settingskeys.h"
#include "app/settings/settingsstore.h"
#include "platform/appinfo.h"
#include "platform/dialogs.h"
#include "zoomfactor.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace quorvel {

ZoomOptions::ZoomOptions(Controls controls, SettingsStore& settings, Dialogs& dialogs,
                         QObject* parent)
    : QObject(parent), m_controls(controls), m_settings(settings), m_dialogs(dialogs) {
    // Turning a button on, by the user or from code, is its click; turning it off is silent.
    for (QRadioButton* option :
         {controls.option1, controls.option2, controls.option3, controls.option4}) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                Option_Click();
            }
        });
    }
    connect(controls.text1, &QLineEdit::textChanged, this, &ZoomOptions::Text1_Change);
    connect(controls.text2, &QLineEdit::textChanged, this, &ZoomOptions::Text2_Change);
    controls.text2->installEventFilter(this);
}

void ZoomOptions::Option_Click() {
    m_settings.save(settings::kOption1, booleanText(m_controls.option1->isChecked()));
    m_settings.save(settings::kOption2, booleanText(m_controls.option2->isChecked()));
    m_settings.save(settings::kOption3, booleanText(m_controls.option3->isChecked()));
    m_settings.save(settings::kOption4, booleanText(m_controls.option4->isChecked()));
}

void ZoomOptions::Text1_Change() {
    m_settings.save(settings::kText1, m_controls.text1->text());
}

void ZoomOptions::Text2_Change() {
    m_settings.save(settings::kText2, m_controls.text2->text());
}

void ZoomOptions::Text2_LostFocus() {
    switch (checkZoomText(m_controls.text2->text())) {
    case ZoomTextCheck::Keep:
        break;
    case ZoomTextCheck::CapToTen:
        m_controls.text2->setText(kZoomCap);
        break;
    case ZoomTextCheck::NotNumeric:
        m_dialogs.messageBox(kMustBeNumeric, msgstyle::kOkOnly, appinfo::kApplicationTitle);
        m_controls.text2->setFocus(Qt::OtherFocusReason);
        break;
    }
}

bool ZoomOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_controls.text2 && event->type() == QEvent::FocusOut) {
        // Switching to another window or opening a menu is not leaving the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            Text2_LostFocus();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvel
