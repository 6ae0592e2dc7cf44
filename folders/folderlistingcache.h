// SPDX-License-Identifier: MIT
#pragma once

#include "platform/wildcardlisting.h"

#include <QHash>
#include <QString>

namespace quorvel {

/// The folder readings one "Add All File(s) In Folder" click has made, so the
/// file listing that follows the scan need not read each folder a second
/// time. Only complete readings are kept; a folder is found under any spelling
/// that differs by trailing separators alone.
class FolderListingCache {
public:
    /// Keeps the complete reading of `folder`, replacing an earlier one.
    void keep(const QString& folder, FolderEntries reading);
    /// The reading kept for `folder`, null when there is none.
    const FolderEntries* find(const QString& folder) const;
    /// How many folders have a reading kept.
    int size() const { return int(m_readings.size()); }

private:
    QHash<QString, FolderEntries> m_readings;
};

} // namespace quorvel
