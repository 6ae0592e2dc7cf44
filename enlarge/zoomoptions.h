// SPDX-License-Identifier: MIT
#pragma once

#include "zoomchoiceview.h"

#include <QObject>

namespace quorvel {

class Dialogs;
class SettingsStore;

/// The zoom choice and the output-folder text: every change is stored at once,
/// and the custom factor is checked when the user leaves its box. The handlers
/// arm no trap: an error (a store that cannot be written) is shown under the
/// handler's name and the control keeps what the user chose; raised by code
/// (changeFromCode), the error goes to that code's trap instead.
class ZoomOptions : public QObject {
    Q_OBJECT
public:
    ZoomOptions(ZoomChoiceView& view, SettingsStore& settings, Dialogs& dialogs,
                QObject* parent = nullptr);

public slots:
    /// A zoom was chosen: stores all four switches, in order, reporting under
    /// the chosen option's handler name.
    void zoomChosen(ZoomChoiceView::Zoom zoom);
    void outputFolderEdited();
    void customFactorEdited();
    /// The user left the custom factor's box: caps it at 10 or asks for a number.
    void customFactorLeft();

private:
    void storeZoomChoice();
    void checkCustomFactor();

    ZoomChoiceView& m_view;
    SettingsStore& m_settings;
    Dialogs& m_dialogs;
};

} // namespace quorvel
