// SPDX-License-Identifier: MIT
#pragma once

class QLineEdit;
class QRadioButton;

namespace quorvel {

/// The controls that choose a run's zoom and output folder. The options' and
/// boxes' handlers store them; the run reads them.
struct ZoomControls {
    QRadioButton* zoom200;
    QRadioButton* zoom300;
    QRadioButton* zoom400;
    QRadioButton* zoomCustom;
    QLineEdit* outputFolder;
    QLineEdit* customFactor;
};

} // namespace quorvel
