// SPDX-License-Identifier: MIT
#include "convertercommand.h"

namespace quorvel {

ConverterCommand enlargeCommand(const QString& converter, int zoomPercent, const QString& output,
                                const QString& source) {
    const QString percent = QString::number(zoomPercent) + QLatin1Char('%');
    return {converter,
            {QStringLiteral("-resize"), percent, percent, QStringLiteral("-o"), output, source}};
}

} // namespace quorvel
