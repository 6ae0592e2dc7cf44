// SPDX-License-Identifier: MIT
#include "codepage.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace quorvel {

namespace {
constexpr int kNoForm = 63;

#ifndef Q_OS_WIN
// Windows-1252 bytes 128 to 159 and the characters they stand for; 0 marks the
// five bytes that stand for the C1 control of the same number.
constexpr char16_t kHighRange[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
#endif
} // namespace

int ansiCode(QChar c) {
#ifdef Q_OS_WIN
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
#else
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return int(u);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighRange[i] == u || (kHighRange[i] == 0 && u == 0x80 + i)) {
            return 0x80 + i;
        }
    }
    return kNoForm;
#endif
}

} // namespace quorvel
