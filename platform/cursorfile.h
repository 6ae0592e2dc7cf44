// SPDX-License-Identifier: MIT
#pragma once

#include <QCursor>
#include <QString>

namespace quorvel {

/// Loads a .cur or .ico file as a mouse cursor, with the hot spot the file
/// names (a .cur keeps it in its directory entry; an .ico gets the centre).
/// Sets `*ok` to false, and returns the arrow, when the file cannot be read.
QCursor loadCursorFile(const QString& path, bool* ok = nullptr);

} // namespace quorvel
