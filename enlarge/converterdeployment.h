// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

namespace quorvel {

/// Where a run puts the converter: the folder named by TEMP (read afresh each
/// time) when it is set and not empty, otherwise a folder private to the user
/// under the system's temporary location; followed by the converter's file name.
/// Raises AppError when the private folder cannot be made or is not safe.
QString ConverterPath();

/// Puts `converter` at `ConverterPath()` for a run. A file already there is used
/// only when it is a plain file of ours holding exactly these bytes; anything
/// else of that name is replaced, except a folder, which is left alone (every
/// start then fails). Raises AppError when the file cannot be written.
void DeployConverter(const QByteArray& converter);

/// The environment the converter runs in: this process's, with the dynamic loader sent to
/// the program's own folder for the converter's libraries. The converter runs from the
/// temporary folder, where a library of the right name may be anyone's; the program's folder
/// is writable only by whoever installed it.
QProcessEnvironment converterEnvironment();

/// The converter's bare file name on this platform.
QString converterFileName();

} // namespace quorvel
