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
} // namespace

bool FolderReadings::stampOf(const QString& folder, Stamp& stamp) {
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) {
        return false;
    }
    stamp = {quint64(st.st_dev), quint64(st.st_ino), nanoseconds(st.st_mtim),
             nanoseconds(st.st_ctim)};
    return true;
}

FolderEntries FolderReadings::read(const QString& folder) {
    // The stamp is taken before the reading: a change made while reading leaves a newer time
    // behind, and the folder is then read again for its files.
    Stamp stamp;
    const bool stamped = stampOf(folder, stamp);
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    FolderEntries reading = readFolderEntries(folder);
    const qint64 settled = nanoseconds(now) - m_settle;
    if (stamped && reading.openError == 0 && reading.readError == 0 && stamp.modified < settled &&
        stamp.changed < settled) {
        m_kept.insert(folder, {reading, stamp});
    } else {
        m_kept.remove(folder);
    }
    return reading;
}

const FolderEntries* FolderReadings::unchanged(const QString& folder) const {
    const auto kept = m_kept.constFind(folder);
    if (kept == m_kept.cend()) {
        return nullptr;
    }
    Stamp now;
    return stampOf(folder, now) && now == kept->stamp ? &kept->reading : nullptr;
}

} // namespace quorvel
