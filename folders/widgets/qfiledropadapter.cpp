// SPDX-License-Identifier: MIT
#include "qfiledropadapter.h"

#include "folders/filedrop.h"

#include <QAbstractItemView>
#include <QDropEvent>

namespace quorvel {

QFileDropAdapter::QFileDropAdapter(QAbstractItemView* view, ImageList& list, Dialogs& dialogs)
    : QObject(view), m_list(list), m_dialogs(dialogs) {
    view->setAcceptDrops(true);
    view->viewport()->setAcceptDrops(true);
    view->setDropIndicatorShown(false);
    view->viewport()->installEventFilter(this);
}

bool QFileDropAdapter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (droppedPaths(drag->mimeData()).isEmpty()) {
            drag->ignore();
        } else {
            drag->acceptProposedAction();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = droppedPaths(drop->mimeData());
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        dropFiles(m_list, m_dialogs, paths);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace quorvel
