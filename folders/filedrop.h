// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QAbstractItemView;
class QMimeData;

namespace quorvel {

class Dialogs;
class ImageList;

/// The local files and folders a drag carries, in the order it delivers them;
/// empty when it carries none (text, pictures and the like).
QStringList droppedPaths(const QMimeData* data);

/// Adds what was dropped on the list: a file as delivered, a folder as every
/// file of its tree (folder by folder, breadth first), leaving out names that
/// begin with "~", entries that are not files and writable dot-files.
/// Nothing is sorted or compared with the rows already listed.
void dropFiles(ImageList& list, Dialogs& dialogs, const QStringList& paths);

/// Makes the list's viewport accept drops of local files and nothing else.
class FileDropTarget : public QObject {
    Q_OBJECT
public:
    FileDropTarget(QAbstractItemView* view, ImageList& list, Dialogs& dialogs,
                   QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QAbstractItemView> m_view;
    ImageList& m_list;
    Dialogs& m_dialogs;
};

} // namespace quorvel
