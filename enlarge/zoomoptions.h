// SPDX-License-Identifier: MIT
#pragma once

#include "zoomcontrols.h"

#include <QObject>

namespace quorvel {

class Dialogs;
class SettingsStore;

/// The zoom choice and the output-folder text: every change is stored at once,
/// and the custom factor is checked when the user leaves its box. The handlers
/// arm no trap: an error (a store that cannot be written) is shown under the
/// handler's name and the control keeps what the user chose.
class ZoomOptions : public QObject {
    Q_OBJECT
public:
    using Controls = ZoomControls;

    ZoomOptions(Controls controls, SettingsStore& settings, Dialogs& dialogs,
                QObject* parent = nullptr);

    /// The click of any option: stores all four switches, in order.
    void storeZoomChoice();
    void storeOutputFolder();
    void storeCustomFactor();
    /// Focus left `Text2`: caps the factor at 10 or asks for a number.
    void checkCustomFactor();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Controls m_controls;
    SettingsStore& m_settings;
    Dialogs& m_dialogs;
};

} // namespace quorvel
