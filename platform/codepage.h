// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>

namespace quorvel {

/// The code of one character in the Western (Windows-1252) code page, the
/// system's ANSI code page on Windows: 0 to 255, or 63 ("?") for a character
/// that has no form there, a lone surrogate included.
int ansiCode(QChar c);

} // namespace quorvel
