// SPDX-License-Identifier: MIT
#include "filenameencoding.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace quorvel {

#ifdef Q_OS_WIN
int ansiCode(QChar c) {
    constexpr int kNoForm = 63;
    const wchar_t wide = wchar_t(c.unicode());
    char out[4] = {};
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out,
                                      nullptr, &lossy);
    if (n == 1 && !lossy) {
        return static_cast<unsigned char>(out[0]);
    }
    if (n == 2 && !lossy) {
        // A double-byte code reads as a signed 16-bit value, as the scan expects.
        return int(static_cast<short>((static_cast<unsigned char>(out[0]) << 8) |
                                      static_cast<unsigned char>(out[1])));
    }
    return kNoForm;
}
#endif

namespace {
constexpr char16_t kEscapeBase = 0xDC00;

// How many bytes a sequence with this lead byte claims; 0 for a byte that
// cannot begin one.
qsizetype sequenceLength(unsigned char lead) {
    return lead < 0x80   ? 1
           : lead < 0xC2 ? 0
           : lead < 0xE0 ? 2
           : lead < 0xF0 ? 3
           : lead < 0xF5 ? 4
                         : 0;
}
} // namespace

QString decodeFileName(QByteArrayView raw) {
    const QString decoded = QFile::decodeName(raw.toByteArray());
    if (QFile::encodeName(decoded) == raw) {
        return decoded;
    }
    // The decoder put U+FFFD where bytes did not decode, which would make
    // "caf\xE9" and "caf\xE8" one name, and the name of neither.
    QString escaped;
    qsizetype i = 0;
    while (i < raw.size()) {
        const qsizetype n = sequenceLength(static_cast<unsigned char>(raw[i]));
        if (n > 0 && i + n <= raw.size()) {
            const QByteArrayView sequence = raw.sliced(i, n);
            const QString character = QFile::decodeName(sequence.toByteArray());
            if (QFile::encodeName(character) == sequence) {
                escaped += character;
                i += n;
                continue;
            }
        }
        escaped += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(raw[i])));
        ++i;
    }
    return escaped;
}

bool holdsUndecodedBytes(QStringView name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

} // namespace quorvel
