// SPDX-License-Identifier: MIT
#include "rowdrag.h"

#include "imagelist.h"

namespace quorvel {

RowDrag::RowDrag(ImageList& list, std::function<int()> screenY)
    : m_list(list), m_screenY(std::move(screenY)) {}

void RowDrag::rowClicked() {
    m_dragRow = m_list.selectedIndex();
}

void RowDrag::rowsRemoved(int first, int last) {
    if (m_dragRow > last) {
        m_dragRow -= last - first + 1;
    } else if (m_dragRow >= first) {
        m_dragRow = 0;
    }
}

bool RowDrag::pointerMoved(int hitRow) {
    if (!m_isDragging) {
        return false;
    }
    m_hitRow = hitRow;
    const bool bothRows = m_dragRow >= 1 && m_dragRow <= m_list.count() && m_hitRow >= 1 &&
                          m_hitRow <= m_list.count();
    bool exchanged = false;
    // Equal texts cover the pointer still over the dragged row, and a path listed twice.
    if (bothRows && m_list.text(m_hitRow) != m_list.text(m_dragRow)) {
        const QString dragged = m_list.text(m_dragRow);
        m_list.setText(m_dragRow, m_list.text(m_hitRow));
        m_list.setText(m_hitRow, dragged);
        m_list.select(m_hitRow);
        m_dragRow = m_hitRow;
        scrollAtEdges(m_hitRow);
        exchanged = true;
    }
    m_hitRow = 0;
    return exchanged;
}

void RowDrag::scrollAtEdges(int row) {
    // The screen position, not the list's: the thresholds are fixed heights on the screen.
    const int y = m_screenY ? m_screenY() : kScrollUpBelow;
    if (y < kScrollUpBelow) {
        if (row > 1) {
            m_list.ensureVisible(row - 1);
        }
    } else if (y >= kScrollDownFrom && row + 1 <= m_list.count()) {
        m_list.ensureVisible(row + 1);
    }
}

} // namespace quorvel
