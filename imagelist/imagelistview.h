// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QString>

namespace quorvel {

/// What the list's logic needs from the control that shows the rows. Rows are
/// 1-based; 0 means "no row".
class ImageListView {
public:
    virtual ~ImageListView() = default;

    /// The selected row, 0 when none.
    virtual int selectedRow() const = 0;
    /// Selects `row` alone and makes it the current one.
    virtual void selectRow(int row) = 0;
    virtual void scrollToRow(int row) = 0;
    /// The row under `position` (the control's own coordinates), 0 over no row.
    virtual int rowAt(const QPoint& position) const = 0;
    /// Shows the picture of the cursor file at `path` over the rows; the arrow
    /// when the file cannot be read.
    virtual void showCursorFile(const QString& path) = 0;
    virtual void showArrowCursor() = 0;
    /// Where the pointer is on the screen.
    virtual QPoint pointerOnScreen() const = 0;
};

} // namespace quorvel
