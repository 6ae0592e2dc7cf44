// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

/// One start of the converter: the program and its arguments, handed over as a
/// list so that no name is ever split or read as an option.
struct ConverterCommand {
    QString program;
    QStringList arguments;
};

/// The conversion of `source` to `output` at `zoomPercent` in width and height.
ConverterCommand enlargeCommand(const QString& converter, int zoomPercent, const QString& output,
                                const QString& source);

} // namespace quorvel
