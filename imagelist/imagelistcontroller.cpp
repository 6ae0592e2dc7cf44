// SPDX-License-Identifier: MIT
#include "imagelistcontroller.h"

#include "imagelist.h"
#include "openfilesadd.h"
#include "platform/cursorfile.h"
#include "platform/errortrap.h"
#include "platform/paths.h"
#include "platform/windowpointer.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>

namespace quorvel {

int listKeyCode(int qtKey) {
    // Qt::Key_Period is also 46, so only Delete may map onto the Delete key's code.
    return qtKey == Qt::Key_Delete ? ImageListController::kDeleteKeyCode : 0;
}

ImageListController::ImageListController(ImageList& list, WindowPointer& pointer, Dialogs& dialogs,
                                         QString programFolder, QWidget* dialogOwner,
                                         QObject* parent)
    : QObject(parent), m_list(list), m_pointer(pointer), m_dialogs(dialogs),
      m_programFolder(std::move(programFolder)), m_dialogOwner(dialogOwner), m_view(list.view()),
      m_cursorPosition([] { return QCursor::pos(); }),
      m_rowDrag(list, [this] { return m_cursorPosition().y(); }) {
    // Rows removed while the dragged one is remembered must not make a later drag
    // move some other entry.
    connect(&list.model(), &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                m_rowDrag.rowsRemoved(first + 1, last + 1);
            });
    connect(&list.model(), &QAbstractItemModel::modelReset, this,
            [this] { m_rowDrag.rowsCleared(); });
    if (!m_view) {
        return;
    }
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows move by the row drag only: the list never starts a drag-and-drop of its own.
    m_view->setDragEnabled(false);
    m_view->viewport()->setMouseTracking(true);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    // Emitted after the view has selected the pressed row.
    connect(m_view, &QAbstractItemView::pressed, this,
            [this] { guarded(QStringLiteral("ListView1_ItemClick"), [this] { itemClicked(); }); });
}

ImageListController::~ImageListController() = default;

void ImageListController::setCursorPositionSource(std::function<QPoint()> source) {
    m_cursorPosition = source ? std::move(source) : [] { return QCursor::pos(); };
}

void ImageListController::removeSelectedRow() {
    if (m_pointer.isBusy() || m_list.count() == 0) {
        return;
    }
    const int row = m_list.selectedIndex();
    if (row >= 1) {
        m_list.remove(row);
    }
}

void ImageListController::keyPressed(int keyCode) {
    if (keyCode == kDeleteKeyCode) {
        removeSelectedRow();
    }
}

void ImageListController::doubleClicked() {
    removeSelectedRow();
}

void ImageListController::mousePressed() {
    m_rowDrag.buttonPressed();
}

void ImageListController::itemClicked() {
    if (m_view) {
        // Without the picture the drag still works, under the arrow.
        const QString path = m_programFolder + separator() + QStringLiteral("drag.ico");
        m_view->viewport()->setCursor(loadCursorFile(path));
    }
    m_rowDrag.rowClicked();
}

void ImageListController::mouseMoved(const QPoint& position) {
    if (!m_pointer.isBusy()) {
        m_pointer.setMousePointer(pointer::kDefault);
    }
    if (!m_rowDrag.isDragging()) {
        return;
    }
    const QModelIndex hit = m_view ? m_view->indexAt(position) : QModelIndex();
    m_rowDrag.pointerMoved(hit.isValid() ? hit.row() + 1 : 0);
}

void ImageListController::mouseReleased() {
    m_rowDrag.buttonReleased();
    if (m_view) {
        m_view->viewport()->setCursor(Qt::ArrowCursor);
    }
}

void ImageListController::addFilesFromDialog() {
    addFilesFromOpenDialog(m_list, m_dialogs, m_dialogOwner, QDir::separator());
}

void ImageListController::clearList() {
    ErrorTrap trap(m_dialogs, formLocation(QStringLiteral("PushButton4_Click")));
    trap.step(100, [&] {
        if (!m_pointer.isBusy()) {
            m_list.clear();
        }
    });
}

void ImageListController::guarded(const QString& handler, const std::function<void()>& body) {
    runUntrappedHandler(m_dialogs, handler, body);
}

bool ImageListController::eventFilter(QObject* watched, QEvent* event) {
    if (!m_view) {
        return false;
    }
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int code = listKeyCode(static_cast<QKeyEvent*>(event)->key());
        guarded(QStringLiteral("ListView1_KeyDown"), [&] { keyPressed(code); });
        return code == kDeleteKeyCode;
    }
    if (watched != m_view->viewport()) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        guarded(QStringLiteral("ListView1_MouseDown"), [this] { mousePressed(); });
        return false; // the view selects the row and reports the row click
    case QEvent::MouseButtonDblClick:
        // The second press of a double-click is no new press and selects nothing.
        guarded(QStringLiteral("ListView1_DblClick"), [this] { doubleClicked(); });
        return true;
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        guarded(QStringLiteral("ListView1_MouseMove"),
                [&] { mouseMoved(mouse->position().toPoint()); });
        // With a button down the view would move its selection with the pointer.
        return mouse->buttons() != Qt::NoButton;
    }
    case QEvent::MouseButtonRelease:
        guarded(QStringLiteral("ListView1_MouseUp"), [this] { mouseReleased(); });
        return false;
    default:
        return false;
    }
}

} // namespace quorvel
