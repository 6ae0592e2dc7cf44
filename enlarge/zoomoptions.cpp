// SPDX-License-Identifier: MIT
#include "zoomoptions.h"

#include "platform/appinfo.h"
#include "platform/dialogs.h"
#include "platform/errortrap.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "zoomfactor.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace quorvel {

ZoomOptions::ZoomOptions(Controls controls, SettingsStore& settings, Dialogs& dialogs,
                         QObject* parent)
    : QObject(parent), m_controls(controls), m_settings(settings), m_dialogs(dialogs) {
    // Turning a button on, by the user or from code, is its click; turning it off is silent.
    // The four clicks share one body but each reports under its own name.
    const struct {
        QRadioButton* button;
        QString handler;
    } options[] = {
        {controls.option1, QStringLiteral("Option1_Click")},
        {controls.option2, QStringLiteral("Option2_Click")},
        {controls.option3, QStringLiteral("Option3_Click")},
        {controls.option4, QStringLiteral("Option4_Click")},
    };
    for (const auto& option : options) {
        connect(option.button, &QRadioButton::toggled, this,
                [this, handler = option.handler](bool on) {
                    if (on) {
                        runUntrappedHandler(m_dialogs, handler, [this] { Option_Click(); });
                    }
                });
    }
    connect(controls.text1, &QLineEdit::textChanged, this, [this] {
        runUntrappedHandler(m_dialogs, QStringLiteral("Text1_Change"), [this] { Text1_Change(); });
    });
    connect(controls.text2, &QLineEdit::textChanged, this, [this] {
        runUntrappedHandler(m_dialogs, QStringLiteral("Text2_Change"), [this] { Text2_Change(); });
    });
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
            runUntrappedHandler(m_dialogs, QStringLiteral("Text2_LostFocus"),
                                [this] { Text2_LostFocus(); });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvel
