// SPDX-License-Identifier: MIT
#include "convertercommand.h"

namespace quorvel {

namespace {
QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

QString ConverterCommand::text() const {
    // -resize Z% Z% -o "output" "source": the percentages and switches bare,
    // the two paths quoted.
    QString line = quoted(program);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const bool isPath = i >= arguments.size() - 2 && arguments.size() >= 2;
        line += QLatin1Char(' ') + (isPath ? quoted(arguments.at(i)) : arguments.at(i));
    }
    return line;
}

ConverterCommand enlargeCommand(const QString& converter, int zoomPercent, const QString& output,
                                const QString& source) {
    const QString percent = QString::number(zoomPercent) + QLatin1Char('%');
    return {converter,
            {QStringLiteral("-resize"), percent, percent, QStringLiteral("-o"), output, source}};
}

} // namespace quorvel
