// SPDX-License-Identifier: MIT
#include "filetests.h"

#include "platform/apperror.h"
#include "platform/fileattributes.h"
#include "platform/filenameencoding.h"
#include "platform/wildcardlisting.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace quorvel {

namespace {
QString withSeparator(const QString& folder) {
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

constexpr int kFileMask = attr::kHidden | attr::kSystem;
} // namespace

// IsExistingFile for every name, from one reading of the folder as it is now
// (made now, or kept while the folder is unchanged, its links looked at now):
// the reading admits regular files only (links to one included), a folder that
// cannot be entered opens none of them, and a name that did not decode opens
// nothing. One system call per name would cost more than the whole reading.
FileNameArray ListFolderFiles(const QString& folder, const QString& pattern,
                              const FolderFileSystem& fileSystem, FolderReadings* kept) {
    const QString path = withSeparator(folder);
    const FolderEntries* reading = kept ? kept->unchanged(path) : nullptr;
    QStringList listed;
    if (reading) {
        listed = listDirectory(*reading, pattern, kFileMask);
    } else {
        const FolderEntries fresh = fileSystem.readFolder(path);
        if (fresh.openError == ENOENT || fresh.openError == ENOTDIR) {
            return FileNameArray();
        }
        if (fresh.openError != 0) {
            throw AppError::fromErrno(fresh.openError);
        }
        listed = listDirectory(fresh, pattern, kFileMask);
    }
    if (listed.isEmpty() || !fileSystem.isEnterable(path)) {
        return FileNameArray();
    }
    // Slot 0 is never filled; names go into cells 1 to count.
    QStringList cells;
    cells.reserve(listed.size() + 1);
    cells.append(QString());
    for (const QString& name : listed) {
        if (!holdsUndecodedBytes(name)) {
            cells.append(name);
        }
    }
    return FileNameArray(std::move(cells));
}

bool IsExistingFile(const QString& path) {
    if (path.isEmpty() || holdsUndecodedBytes(path)) {
        return false;
    }
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HasUnsafeNameChars(const QString& name) {
#ifdef Q_OS_WIN
    for (const QChar c : name) {
        const int code = ansiCode(c);
        if ((code > 126 && code < 160) || code < 32 || code == 63) {
            return true;
        }
    }
    return false;
#else
    // Every character a name can hold opens here, "?" and the typographic
    // ones included; only what cannot make a working path is refused.
    for (const QChar c : name) {
        if (c.unicode() < 32 || c.unicode() == 127) {
            return true;
        }
    }
    return holdsUndecodedBytes(name);
#endif
}

} // namespace quorvel
