// SPDX-License-Identifier: MIT
#include "zoomfactor.h"

#include "platform/apperror.h"
#include "rounding.h"

#include <cmath>
#include <limits>
#include <optional>

namespace quorvel {

namespace {
std::optional<double> parseNumber(const QString& text, const QLocale& locale) {
    QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('+'))) {
        trimmed.remove(0, 1);
    }
    bool ok = false;
    const double value = locale.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

constexpr double kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr double kInt16Max = std::numeric_limits<std::int16_t>::max();
} // namespace

std::int16_t factorToInt16(const QString& text, const QLocale& locale) {
    const std::optional<double> value = parseNumber(text, locale);
    if (!value) {
        throw AppError::fromNumber(errnum::kTypeMismatch);
    }
    const double rounded = roundHalfEven(*value);
    if (rounded < kInt16Min || rounded > kInt16Max) {
        throw AppError::fromNumber(errnum::kOverflow);
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t customZoomPercentage(const QString& text, const QLocale& locale) {
    const int product = int(factorToInt16(text, locale)) * 100;
    if (product < kInt16Min || product > kInt16Max) {
        throw AppError::fromNumber(errnum::kOverflow);
    }
    return static_cast<std::int16_t>(product);
}

ZoomTextCheck checkZoomText(const QString& text, const QLocale& locale) {
    const std::optional<double> value = parseNumber(text, locale);
    if (!value) {
        return ZoomTextCheck::NotNumeric;
    }
    // A number too large even for the 16-bit conversion is still "above 10";
    // a hugely negative one is left as typed and refused when a run starts.
    const double rounded = roundHalfEven(*value);
    return rounded > 10 ? ZoomTextCheck::CapToTen : ZoomTextCheck::Keep;
}

} // namespace quorvel
