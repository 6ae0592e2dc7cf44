// SPDX-License-Identifier: MIT
#pragma once

#include "folderfilesystem.h"

#include <QStringList>

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
/// Nothing is sorted or compared with the rows already listed. An error ends
/// the entry it hit with the box (at line 0), and the next entry is added.
void dropFiles(ImageList& list, Dialogs& dialogs, const QStringList& paths,
               const FolderFileSystem& fileSystem = FolderFileSystem::real());

} // namespace quorvel
