// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringView>

namespace quorvel {

#ifdef Q_OS_WIN
/// The code of one character in the system's ANSI code page: 0 to 255, a
/// double-byte code as a signed 16-bit value, or 63 ("?") for a character that
/// has no form there, a lone surrogate included.
int ansiCode(QChar c);
#endif

/// A file name as the disk holds it, made text. Bytes the file-name encoding
/// cannot decode become lone surrogates (U+DC80 to U+DCFF, one per byte), so
/// the name stays told apart from every name that does decode.
QString decodeFileName(QByteArrayView raw);

/// True when the name holds bytes the file-name encoding could not decode
/// (see decodeFileName): no path made from it opens the entry it came from.
bool holdsUndecodedBytes(QStringView name);

} // namespace quorvel
