// SPDX-License-Identifier: MIT
#pragma once

class QLineEdit;
class QRadioButton;

namespace quorvel {

/// The controls that choose a run's zoom and output folder. The options' and
/// boxes' handlers store them; the run reads them.
struct ZoomControls {
    QRadioButton* option1;
    QRadioButton* option2;
    QRadioButton* option3;
    QRadioButton* option4;
    QLineEdit* text1; ///< the output folder
    QLineEdit* text2; ///< the custom factor
};

} // namespace quorvel
