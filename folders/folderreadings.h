// SPDX-License-Identifier: MIT
#pragma once

#include "platform/wildcardlisting.h"

#include <QHash>
#include <QString>
#include <QtGlobal>
#include <chrono>
#include <optional>

namespace quorvel {

/// True for the file systems (by statfs's type number) known to stamp a change with a time
/// fine enough that a folder whose times are unchanged is unchanged: ext4, XFS, Btrfs, tmpfs
/// and a few more. FAT's clock ticks in two seconds, and a network file system's times come
/// from another machine: those are not on the list.
bool keepsFineTimes(qint64 fileSystemType);

/// The whole readings of the folders one scan went through, for the file listing that follows
/// it, so that a large tree is read once rather than twice. A reading is handed out again only
/// while its folder is provably as it was: on a file system that keeps fine times, same
/// folder, same modification and change times, and those times at least a second older than
/// the reading, since a change made within the same tick of the file system's clock would
/// leave them equal. What a symbolic link leads to is never taken from the reading.
class FolderReadings {
public:
    /// `settle`: how much older than the reading a folder's times must be for it to be kept.
    explicit FolderReadings(std::chrono::nanoseconds settle = std::chrono::seconds(1))
        : m_settle(settle.count()) {}

    /// Reads every entry of `folder` (ending in a separator) as readFolderEntries does and
    /// keeps the reading when it is complete and `fileSystemType` (statfs's type number of the
    /// folder's file system, nothing when unknown) keeps fine times.
    FolderEntries read(const QString& folder, std::optional<qint64> fileSystemType);

    /// The kept reading of `folder`, with every link looked at afresh, if the folder is
    /// unchanged since; null otherwise.
    const FolderEntries* unchanged(const QString& folder);

private:
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 modified = 0; // nanoseconds
        qint64 changed = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Kept {
        FolderEntries reading;
        Stamp stamp;
        bool hasLinks = false;
    };
    static bool stampOf(const QString& folder, Stamp& stamp);

    qint64 m_settle;
    QHash<QString, Kept> m_kept;
};

} // namespace quorvel
