// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace quorvel {

class ImageList;

/// Moving a row by dragging it: the user presses on a row and moves the pointer
/// over the others, and the entry changes places with each row the pointer
/// enters. A row holds nothing but its text, so exchanging texts moves the entry.
///
/// Rows are 1-based; 0 means "no row". The dragged row is kept between drags
/// (the next row click replaces it).
class RowDrag {
public:
    /// Near the top of the screen an exchange reveals the row above; from this
    /// height on it reveals the row below; in between nothing scrolls.
    static constexpr int kScrollUpBelow = 305;
    static constexpr int kScrollDownFrom = 365;

    /// `screenY` reads the pointer's vertical position on the screen.
    RowDrag(ImageList& list, std::function<int()> screenY);

    /// A mouse button went down on the list (any button).
    void buttonPressed() { m_isDragging = true; }
    /// A row was clicked: it becomes the dragged row.
    void rowClicked();
    /// The pointer moved over row `hitRow` (0 when over no row). Exchanges the
    /// dragged row with it while dragging; true when an exchange happened.
    bool pointerMoved(int hitRow);
    /// The mouse button came up on the list.
    void buttonReleased() { m_isDragging = false; }
    /// Rows `first` to `last` were removed: the dragged row follows its entry,
    /// and is no row once its entry is gone.
    void rowsRemoved(int first, int last);
    /// Every row was removed.
    void rowsCleared() { m_dragRow = 0; }

    bool isDragging() const { return m_isDragging; }
    int dragRow() const { return m_dragRow; }
    int hitRow() const { return m_hitRow; }

private:
    void scrollAtEdges(int row);

    ImageList& m_list;
    std::function<int()> m_screenY;
    bool m_isDragging = false;
    int m_dragRow = 0;
    int m_hitRow = 0;
};

} // namespace quorvel
