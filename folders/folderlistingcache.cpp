// SPDX-License-Identifier: MIT
#include "folderlistingcache.h"

#include <QDir>

namespace quorvel {

namespace {
// The scan holds "dir/" and the listing may be asked for "dir"; a root chosen
// as "/" reaches the scan as "//".
QString keyOf(const QString& folder) {
    qsizetype end = folder.size();
    while (end > 0 &&
           (folder.at(end - 1) == QLatin1Char('/') || folder.at(end - 1) == QDir::separator())) {
        --end;
    }
    if (end == folder.size() - 1 && folder.at(end) == QLatin1Char('/')) {
        return folder;
    }
    return folder.left(end) + QLatin1Char('/');
}
} // namespace

void FolderListingCache::keep(const QString& folder, FolderEntries reading) {
    m_readings.emplace(keyOf(folder), std::move(reading));
}

const FolderEntries* FolderListingCache::find(const QString& folder) const {
    const auto found = m_readings.constFind(keyOf(folder));
    return found == m_readings.cend() ? nullptr : &found.value();
}

} // namespace quorvel
