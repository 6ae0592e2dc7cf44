// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QRect>

namespace quorvel::layout {

/// Positions are kept in twips, as they were designed; 15 twips make a pixel at 96 DPI.
constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// Client area 8040 x 8025 twips.
constexpr int kClientWidth = px(8040);
constexpr int kClientHeight = px(8025);
constexpr int kListColumnWidth = px(7000);

QFont controlFont();
QFont buttonFont();

} // namespace quorvel::layout
