// SPDX-License-Identifier: MIT
#include "zoomoptions.h"

#include "platform/appinfo.h"
#include "platform/dialogs.h"
#include "platform/errortrap.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "zoomfactor.h"

namespace quorvel {

ZoomOptions::ZoomOptions(ZoomChoiceView& view, SettingsStore& settings, Dialogs& dialogs,
                         QObject* parent)
    : QObject(parent), m_view(view), m_settings(settings), m_dialogs(dialogs) {}

void ZoomOptions::zoomChosen(ZoomChoiceView::Zoom zoom) {
    // The four clicks share one body but each reports under its own name.
    QString handler;
    switch (zoom) {
    case ZoomChoiceView::Zoom::Times2:
        handler = QStringLiteral("Option1_Click");
        break;
    case ZoomChoiceView::Zoom::Times3:
        handler = QStringLiteral("Option2_Click");
        break;
    case ZoomChoiceView::Zoom::Times4:
        handler = QStringLiteral("Option3_Click");
        break;
    case ZoomChoiceView::Zoom::Custom:
        handler = QStringLiteral("Option4_Click");
        break;
    }
    runUntrappedHandler(m_dialogs, handler, [this] { storeZoomChoice(); });
}

void ZoomOptions::outputFolderEdited() {
    runUntrappedHandler(m_dialogs, QStringLiteral("Text1_Change"),
                        [this] { m_settings.save(settings::kText1, m_view.outputFolder()); });
}

void ZoomOptions::customFactorEdited() {
    runUntrappedHandler(m_dialogs, QStringLiteral("Text2_Change"),
                        [this] { m_settings.save(settings::kText2, m_view.customFactor()); });
}

void ZoomOptions::customFactorLeft() {
    runUntrappedHandler(m_dialogs, QStringLiteral("Text2_LostFocus"),
                        [this] { checkCustomFactor(); });
}

void ZoomOptions::storeZoomChoice() {
    using Zoom = ZoomChoiceView::Zoom;
    m_settings.save(settings::kOption1, booleanText(m_view.isChosen(Zoom::Times2)));
    m_settings.save(settings::kOption2, booleanText(m_view.isChosen(Zoom::Times3)));
    m_settings.save(settings::kOption3, booleanText(m_view.isChosen(Zoom::Times4)));
    m_settings.save(settings::kOption4, booleanText(m_view.isChosen(Zoom::Custom)));
}

void ZoomOptions::checkCustomFactor() {
    switch (checkZoomText(m_view.customFactor())) {
    case ZoomTextCheck::Keep:
        break;
    case ZoomTextCheck::CapToTen:
        m_view.setCustomFactor(kZoomCap);
        break;
    case ZoomTextCheck::NotNumeric:
        m_dialogs.messageBox(mustBeNumericMessage(), msgstyle::kOkOnly, appinfo::kApplicationTitle);
        m_view.focusCustomFactor();
        break;
    }
}

} // namespace quorvel
