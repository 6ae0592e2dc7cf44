// SPDX-License-Identifier: MIT
#include "imagelistcontroller.h"

#include "imagelist.h"
#include "imagelistview.h"
#include "openfilesadd.h"
#include "platform/errortrap.h"
#include "platform/paths.h"
#include "platform/windowpointer.h"

#include <QDir>

namespace quorvel {

int listKeyCode(int qtKey) {
    // Qt::Key_Period is also 46, so only Delete may map onto the Delete key's code.
    return qtKey == Qt::Key_Delete ? ImageListController::kDeleteKeyCode : 0;
}

ImageListController::ImageListController(ImageList& list, WindowPointer& pointer, Dialogs& dialogs,
                                         QString programFolder, QObject* parent)
    : QObject(parent), m_list(list), m_pointer(pointer), m_dialogs(dialogs),
      m_programFolder(std::move(programFolder)),
      m_rowDrag(list, [this] { return cursorPosition().y(); }) {
    // Rows removed while the dragged one is remembered must not make a later drag
    // move some other entry.
    connect(&list.model(), &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                m_rowDrag.rowsRemoved(first + 1, last + 1);
            });
    connect(&list.model(), &QAbstractItemModel::modelReset, this,
            [this] { m_rowDrag.rowsCleared(); });
}

ImageListController::~ImageListController() = default;

void ImageListController::setCursorPositionSource(std::function<QPoint()> source) {
    m_cursorPosition = std::move(source);
}

QPoint ImageListController::cursorPosition() const {
    if (m_cursorPosition) {
        return m_cursorPosition();
    }
    // With no screen to ask, the pointer counts as between the scrolling heights.
    return m_list.view() ? m_list.view()->pointerOnScreen() : QPoint(0, RowDrag::kScrollUpBelow);
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
    if (ImageListView* view = m_list.view()) {
        // Without the picture the drag still works, under the arrow.
        view->showCursorFile(m_programFolder + separator() + QStringLiteral("drag.ico"));
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
    m_rowDrag.pointerMoved(m_list.view() ? m_list.view()->rowAt(position) : 0);
}

void ImageListController::mouseReleased() {
    m_rowDrag.buttonReleased();
    if (ImageListView* view = m_list.view()) {
        view->showArrowCursor();
    }
}

void ImageListController::addFilesFromDialog() {
    addFilesFromOpenDialog(m_list, m_dialogs, QDir::separator());
}

void ImageListController::clearList() {
    ErrorTrap trap(m_dialogs, formLocation(QStringLiteral("PushButton4_Click")));
    trap.step(100, [&] {
        if (!m_pointer.isBusy()) {
            m_list.clear();
        }
    });
}

bool ImageListController::onKeyDown(int qtKey) {
    const int code = listKeyCode(qtKey);
    guarded(QStringLiteral("ListView1_KeyDown"), [&] { keyPressed(code); });
    return code == kDeleteKeyCode;
}

void ImageListController::onMouseDown() {
    guarded(QStringLiteral("ListView1_MouseDown"), [this] { mousePressed(); });
}

void ImageListController::onRowPressed() {
    guarded(QStringLiteral("ListView1_ItemClick"), [this] { itemClicked(); });
}

void ImageListController::onDoubleClick() {
    guarded(QStringLiteral("ListView1_DblClick"), [this] { doubleClicked(); });
}

void ImageListController::onMouseMove(const QPoint& position) {
    guarded(QStringLiteral("ListView1_MouseMove"), [&] { mouseMoved(position); });
}

void ImageListController::onMouseUp() {
    guarded(QStringLiteral("ListView1_MouseUp"), [this] { mouseReleased(); });
}

void ImageListController::guarded(const QString& handler, const std::function<void()>& body) {
    runUntrappedHandler(m_dialogs, handler, body);
}

} // namespace quorvel
