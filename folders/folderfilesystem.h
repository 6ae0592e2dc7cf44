// SPDX-License-Identifier: MIT
#pragma once

#include "platform/wildcardlisting.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace quorvel {

class FolderReadings;

/// Which folder on disk a path leads to, so one reached a second time through
/// a symbolic link can be recognised.
struct FolderIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool valid = false;
    /// The path itself is a symbolic link.
    bool isLink = false;
};

/// The file-system questions the folder scan and the file listing ask. The
/// real answers come from the disk; tests override single answers to stage
/// failures that the disk cannot be made to give, such as an unreadable folder
/// while running as root.
class FolderFileSystem {
public:
    virtual ~FolderFileSystem() = default;

    /// The file system as it is.
    static const FolderFileSystem& real();

    /// True when the path names an existing folder; never raises.
    virtual bool isFolder(const QString& path) const;
    /// Opens the folder for the scan; raises "Path not found" when it is not one.
    virtual void openFolder(const QString& path) const;
    /// The folder's attribute bits (see fileAttributes); a trailing separator
    /// is ignored. Raises AppError when the path does not exist.
    virtual int attributes(const QString& path) const;
    /// True for the root of a file system ("/", or a drive root on Windows).
    virtual bool isRootFolder(const QString& path) const;
    /// Calls `visit` with the name of each direct subfolder, in the listing's
    /// order. Raises "Permission denied" or "Path not found" when the folder
    /// cannot be read; an exception from `visit` passes through. With `keep`,
    /// the folder's whole reading is kept there for the listing of its files.
    virtual void forEachSubFolder(const QString& path,
                                  const std::function<void(const QString& name)>& visit,
                                  FolderReadings* keep) const;
    /// Reads the folder's entries afresh for the listing of its files (see
    /// readFolderEntries); never raises.
    virtual FolderEntries readFolder(const QString& path) const;
    /// The type number statfs gives the file system that holds the path;
    /// nothing when it cannot be asked.
    virtual std::optional<qint64> fileSystemType(const QString& path) const;
    /// Where the path leads; invalid when it cannot be queried. Never raises.
    virtual FolderIdentity identity(const QString& path) const;
    /// True when files in the folder can be reached (on POSIX, search
    /// permission); a folder may be listable and still not be enterable.
    virtual bool isEnterable(const QString& path) const;
};

} // namespace quorvel
