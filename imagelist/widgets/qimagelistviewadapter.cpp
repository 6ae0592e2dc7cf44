// SPDX-License-Identifier: MIT
#include "qimagelistviewadapter.h"

#include "imagelist/imagelistcontroller.h"
#include "platform/cursorfile.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

namespace quorvel {

QImageListViewAdapter::QImageListViewAdapter(QAbstractItemView* view)
    : QObject(view), m_view(view) {
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows move by the row drag only: the list never starts a drag-and-drop of its own.
    m_view->setDragEnabled(false);
    m_view->viewport()->setMouseTracking(true);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    // Emitted after the view has selected the pressed row.
    connect(m_view, &QAbstractItemView::pressed, this, [this] {
        if (m_controller) {
            m_controller->onRowPressed();
        }
    });
}

void QImageListViewAdapter::forwardGesturesTo(ImageListController* controller) {
    m_controller = controller;
}

int QImageListViewAdapter::selectedRow() const {
    const QItemSelectionModel* selection = m_view->selectionModel();
    if (!selection) {
        return 0;
    }
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isSelected(current)) {
        return current.row() + 1;
    }
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? 0 : rows.constFirst().row() + 1;
}

void QImageListViewAdapter::selectRow(int row) {
    if (m_view->model() && m_view->selectionModel()) {
        m_view->selectionModel()->setCurrentIndex(m_view->model()->index(row - 1, 0),
                                                  QItemSelectionModel::ClearAndSelect);
    }
}

void QImageListViewAdapter::scrollToRow(int row) {
    if (m_view->model()) {
        m_view->scrollTo(m_view->model()->index(row - 1, 0));
    }
}

int QImageListViewAdapter::rowAt(const QPoint& position) const {
    const QModelIndex hit = m_view->indexAt(position);
    return hit.isValid() ? hit.row() + 1 : 0;
}

void QImageListViewAdapter::showCursorFile(const QString& path) {
    m_view->viewport()->setCursor(loadCursorFile(path));
}

void QImageListViewAdapter::showArrowCursor() {
    m_view->viewport()->setCursor(Qt::ArrowCursor);
}

QPoint QImageListViewAdapter::pointerOnScreen() const {
    return QCursor::pos();
}

bool QImageListViewAdapter::eventFilter(QObject* watched, QEvent* event) {
    if (!m_controller) {
        return false;
    }
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        return m_controller->onKeyDown(static_cast<QKeyEvent*>(event)->key());
    }
    if (watched != m_view->viewport()) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_controller->onMouseDown();
        return false; // the view selects the row and reports the row click
    case QEvent::MouseButtonDblClick:
        // The second press of a double-click is no new press and selects nothing.
        m_controller->onDoubleClick();
        return true;
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_controller->onMouseMove(mouse->position().toPoint());
        // With a button down the view would move its selection with the pointer.
        return mouse->buttons() != Qt::NoButton;
    }
    case QEvent::MouseButtonRelease:
        m_controller->onMouseUp();
        return false;
    default:
        return false;
    }
}

} // namespace quorvel
