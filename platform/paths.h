// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel {

/// True when the last-modification time of the path can be read: an existing
/// file or folder. Any failure, an empty path included, gives false.
bool PathExists(const QString& path);

/// True when the path names an existing folder; false when it names anything
/// else or cannot be queried.
bool IsFolder(const QString& path);

/// The folder that holds the program file.
QString programFolder();

/// The native path separator as a text ("/" on POSIX, "\" on Windows).
QString separator();

/// True for "/" and for the native separator.
bool isPathSeparator(QChar c);

/// The path without its closing separators. A root keeps its own: "/" and a
/// drive root such as "C:\" come back unchanged.
QString withoutTrailingSeparators(QString path);

} // namespace quorvel
