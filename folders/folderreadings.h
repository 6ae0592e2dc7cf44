// SPDX-License-Identifier: MIT
#pragma once

#include "platform/wildcardlisting.h"

#include <QHash>
#include <QString>
#include <QtGlobal>
#include <chrono>

namespace quorvel {

/// The whole readings of the folders one scan went through, for the file listing that follows
/// it, so that a large tree is read once rather than twice. A reading is handed out again only
/// while its folder is provably as it was: same folder, same modification and change times,
/// and those times at least a second older than the reading, since a change made within the
/// same tick of the file system's clock would leave them equal.
class FolderReadings {
public:
    /// `settle`: how much older than the reading a folder's times must be for it to be kept.
    explicit FolderReadings(std::chrono::nanoseconds settle = std::chrono::seconds(1))
        : m_settle(settle.count()) {}

    /// Reads every entry of `folder` (ending in a separator) as readFolderEntries does and keeps
    /// the reading when it is complete.
    FolderEntries read(const QString& folder);

    /// The kept reading of `folder` if the folder is unchanged since; null otherwise.
    const FolderEntries* unchanged(const QString& folder) const;

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
    };
    static bool stampOf(const QString& folder, Stamp& stamp);

    qint64 m_settle;
    QHash<QString, Kept> m_kept;
};

} // namespace quorvel
