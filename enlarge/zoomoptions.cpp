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
        {controls.zoom200, QStringLiteral("Option1_Click")},
        {controls.zoom300, QStringLiteral("Option2_Click")},
        {controls.zoom400, QStringLiteral("Option3_Click")},
        {controls.zoomCustom, QStringLiteral("Option4_Click")},
    };
    for (const auto& option : options) {
        connect(option.button, &QRadioButton::toggled, this,
                [this, handler = option.handler](bool on) {
                    if (on) {
                        runUntrappedHandler(m_dialogs, handler, [this] { storeZoomChoice(); });
                    }
                });
    }
    connect(controls.outputFolder, &QLineEdit::textChanged, this, [this] {
        runUntrappedHandler(m_dialogs, QStringLiteral("Text1_Change"),
                            [this] { storeOutputFolder(); });
    });
    connect(controls.customFactor, &QLineEdit::textChanged, this, [this] {
        runUntrappedHandler(m_dialogs, QStringLiteral("Text2_Change"),
                            [this] { storeCustomFactor(); });
    });
    controls.customFactor->installEventFilter(this);
}

void ZoomOptions::storeZoomChoice() {
    m_settings.save(settings::kOption1, booleanText(m_controls.zoom200->isChecked()));
    m_settings.save(settings::kOption2, booleanText(m_controls.zoom300->isChecked()));
    m_settings.save(settings::kOption3, booleanText(m_controls.zoom400->isChecked()));
    m_settings.save(settings::kOption4, booleanText(m_controls.zoomCustom->isChecked()));
}

void ZoomOptions::storeOutputFolder() {
    m_settings.save(settings::kText1, m_controls.outputFolder->text());
}

void ZoomOptions::storeCustomFactor() {
    m_settings.save(settings::kText2, m_controls.customFactor->text());
}

void ZoomOptions::checkCustomFactor() {
    switch (checkZoomText(m_controls.customFactor->text())) {
    case ZoomTextCheck::Keep:
        break;
    case ZoomTextCheck::CapToTen:
        m_controls.customFactor->setText(kZoomCap);
        break;
    case ZoomTextCheck::NotNumeric:
        m_dialogs.messageBox(kMustBeNumeric, msgstyle::kOkOnly, appinfo::kApplicationTitle);
        m_controls.customFactor->setFocus(Qt::OtherFocusReason);
        break;
    }
}

bool ZoomOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_controls.customFactor && event->type() == QEvent::FocusOut) {
        // Switching to another window or opening a menu is not leaving the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            runUntrappedHandler(m_dialogs, QStringLiteral("Text2_LostFocus"),
                                [this] { checkCustomFactor(); });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvel
