// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <cstdint>

namespace quorvel {

/// The custom factor as a signed 16-bit integer: parsed by `locale`, rounded to
/// the nearest integer with halves to even. Raises "Type mismatch" for text that
/// is no number and "Overflow" outside -32,768..32,767.
std::int16_t factorToInt16(const QString& text, const QLocale& locale = QLocale());

/// The zoom percentage of the custom option: the factor times 100, raising
/// "Overflow" when the product leaves the 16-bit range.
std::int16_t customZoomPercentage(const QString& text, const QLocale& locale = QLocale());

/// What leaving the custom-factor box does with its text.
enum class ZoomTextCheck {
    Keep,      ///< a number up to 10 after rounding: left exactly as typed
    CapToTen,  ///< a number above 10: replaced by "10"
    NotNumeric ///< "Must be a numeric value." and the focus goes back
};
ZoomTextCheck checkZoomText(const QString& text, const QLocale& locale = QLocale());

/// What leaving the box with a non-number says, in the user's language.
inline QString mustBeNumericMessage() {
    return QCoreApplication::translate("Enlarge", "Must be a numeric value.");
}
inline const QString kZoomCap = QStringLiteral("10");

} // namespace quorvel
