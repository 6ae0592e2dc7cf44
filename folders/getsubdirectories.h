// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

class Dialogs;
class FolderFileSystem;
class FolderReadings;

/// The location the scan's "Application Error" box names.
QString folderScanLocation();

/// Extends `folders` (paths that each end with a separator) in place with all
/// their subfolders, breadth first: the surviving entries, then their direct
/// subfolders grouped by parent, then the next level, and so on.
///
/// Left out with their subtrees: hidden system folders (attributes exactly 22
/// or 1046, unless a root), subfolders whose name is 260 characters or longer,
/// holds an unsafe character (HasUnsafeNameChars), or is "." or "..", and a
/// folder reached again through a symbolic link. A folder whose path is 260
/// characters or longer is kept but not descended into. Every folder that
/// cannot be read (errors 70, 76) is removed from `folders`; its subfolders
/// found before the failure stay, and its neighbours are gathered as usual.
///
/// Errors before the first folder is opened for reading, and in the final
/// appending, are shown in the "Application Error" box and the scan goes on;
/// nothing is raised to the caller. The scan yields to the event loop once per
/// folder visited and once per subfolder seen. With `keep`, every folder's
/// whole reading is kept there for the listing of its files that follows.
void GetSubDirectories2016(QStringList& folders, bool recurse, Dialogs& dialogs,
                           const FolderFileSystem& fileSystem, FolderReadings* keep = nullptr);

/// The same on the real file system.
void GetSubDirectories2016(QStringList& folders, bool recurse, Dialogs& dialogs);

} // namespace quorvel
