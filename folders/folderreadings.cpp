// SPDX-License-Identifier: MIT
#include "folderreadings.h"

#include <QFile>
#include <ctime>
#include <sys/stat.h>

namespace quorvel {

namespace {
constexpr qint64 kNanosecondsPerSecond = 1'000'000'000;

qint64 nanoseconds(const timespec& time) {
    return qint64(time.tv_sec) * kNanosecondsPerSecond + time.tv_nsec;
}

// statfs's type numbers of the file systems that stamp changes in nanoseconds.
constexpr qint64 kExt = 0xEF53; // ext2, ext3 and ext4 share it
constexpr qint64 kXfs = 0x58465342;
constexpr qint64 kBtrfs = 0x9123683E;
constexpr qint64 kTmpfs = 0x01021994;
constexpr qint64 kRamfs = 0x858458F6;
constexpr qint64 kF2fs = 0xF2F52010;
constexpr qint64 kZfs = 0x2FC12FC1;
constexpr qint64 kBcachefs = 0xCA451A4E;
} // namespace

bool keepsFineTimes(qint64 fileSystemType) {
    switch (fileSystemType) {
    case kExt:
    case kXfs:
    case kBtrfs:
    case kTmpfs:
    case kRamfs:
    case kF2fs:
    case kZfs:
    case kBcachefs:
        return true;
    default:
        return false;
    }
}

bool FolderReadings::stampOf(const QString& folder, Stamp& stamp) {
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) {
        return false;
    }
    stamp = {quint64(st.st_dev), quint64(st.st_ino), nanoseconds(st.st_mtim),
             nanoseconds(st.st_ctim)};
    return true;
}

FolderEntries FolderReadings::read(const QString& folder, std::optional<qint64> fileSystemType) {
    // The stamp is taken before the reading: a change made while reading leaves a newer time
    // behind, and the folder is then read again for its files.
    Stamp stamp;
    const bool stamped = stampOf(folder, stamp);
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    FolderEntries reading = readFolderEntries(folder);
    const qint64 settled = nanoseconds(now) - m_settle;
    // An ext file system made with small inodes shares ext4's type but stamps whole seconds:
    // two times without a fraction say so.
    const bool wholeSeconds =
        stamp.modified % kNanosecondsPerSecond == 0 && stamp.changed % kNanosecondsPerSecond == 0;
    if (stamped && fileSystemType && keepsFineTimes(*fileSystemType) && !wholeSeconds &&
        reading.openError == 0 && reading.readError == 0 && stamp.modified < settled &&
        stamp.changed < settled) {
        bool hasLinks = false;
        for (const FolderEntry& entry : reading.entries) {
            hasLinks = hasLinks || entry.link;
        }
        m_kept.insert(folder, {reading, stamp, hasLinks});
    } else {
        m_kept.remove(folder);
    }
    return reading;
}

const FolderEntries* FolderReadings::unchanged(const QString& folder) {
    const auto kept = m_kept.find(folder);
    if (kept == m_kept.end()) {
        return nullptr;
    }
    Stamp now;
    if (!stampOf(folder, now) || now != kept->stamp) {
        return nullptr;
    }
    if (kept->hasLinks) {
        // A link's target may have gone, or become something else, without the folder changing.
        for (FolderEntry& entry : kept->reading.entries) {
            if (entry.link) {
                entry.kind = linkedKind(folder, entry.name);
            }
        }
    }
    return &kept->reading;
}

} // namespace quorvel
