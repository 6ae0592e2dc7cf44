// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel {

/// The window's zoom choice, output folder and custom factor, as the run and
/// the zoom options read and set them.
class ZoomChoiceView {
public:
    enum class Zoom { Times2, Times3, Times4, Custom };

    virtual ~ZoomChoiceView() = default;

    virtual bool isChosen(Zoom zoom) const = 0;
    virtual QString outputFolder() const = 0;
    virtual QString customFactor() const = 0;
    virtual void setCustomFactor(const QString& text) = 0;
    /// Puts the keyboard focus back into the custom factor's box.
    virtual void focusCustomFactor() = 0;
};

} // namespace quorvel
