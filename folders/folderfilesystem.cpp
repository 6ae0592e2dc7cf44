// SPDX-License-Identifier: MIT
#include "folderfilesystem.h"

#include "folderreadings.h"
#include "platform/apperror.h"
#include "platform/fileattributes.h"
#include "platform/paths.h"
#include "platform/wildcardlisting.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif

namespace quorvel {

namespace {
// A folder that vanished reads as "Path not found" rather than "File not found".
AppError folderError(int errnoValue) {
    if (errnoValue == ENOENT || errnoValue == ENOTDIR) {
        return AppError::fromNumber(errnum::kPathNotFound);
    }
    return AppError::fromErrno(errnoValue);
}
} // namespace

const FolderFileSystem& FolderFileSystem::real() {
    static const FolderFileSystem fs;
    return fs;
}

bool FolderFileSystem::isFolder(const QString& path) const {
    return IsFolder(path);
}

void FolderFileSystem::openFolder(const QString& path) const {
    if (!IsFolder(path)) {
        throw AppError::fromNumber(errnum::kPathNotFound);
    }
}

int FolderFileSystem::attributes(const QString& path) const {
    // "dir/" would make the system look through a link; the link itself is wanted.
    return fileAttributes(withoutTrailingSeparators(path));
}

bool FolderFileSystem::isRootFolder(const QString& path) const {
    return !path.isEmpty() && QDir(path).isRoot();
}

void FolderFileSystem::forEachSubFolder(const QString& path,
                                        const std::function<void(const QString& name)>& visit,
                                        FolderReadings* keep) const {
    const FolderEntries reading = keep ? keep->read(path, fileSystemType(path))
                                       : readFolderEntries(path, EntriesWanted::FoldersOnly);
    if (reading.openError != 0) {
        throw folderError(reading.openError);
    }
    if (reading.readError != 0) {
        throw folderError(reading.readError);
    }
    for (const FolderEntry& entry : reading.entries) {
        if (entry.kind == EntryKind::Folder) {
            visit(entry.name);
        }
    }
}

FolderEntries FolderFileSystem::readFolder(const QString& path) const {
    return readFolderEntries(path);
}

std::optional<qint64> FolderFileSystem::fileSystemType(const QString& path) const {
#ifdef Q_OS_LINUX
    struct statfs fs {};
    if (::statfs(QFile::encodeName(path).constData(), &fs) == 0) {
        return qint64(quint32(fs.f_type)); // the numbers are 32 bits wide everywhere
    }
#else
    Q_UNUSED(path);
#endif
    return std::nullopt;
}

FolderIdentity FolderFileSystem::identity(const QString& path) const {
    const QByteArray native = QFile::encodeName(withoutTrailingSeparators(path));
    struct stat own {};
    struct stat target {};
    if (path.isEmpty() || ::lstat(native.constData(), &own) != 0 ||
        ::stat(native.constData(), &target) != 0) {
        return {};
    }
    return {quint64(target.st_dev), quint64(target.st_ino), true, S_ISLNK(own.st_mode)};
}

bool FolderFileSystem::isEnterable(const QString& path) const {
    const QByteArray native = QFile::encodeName(path);
    return !path.isEmpty() && ::faccessat(AT_FDCWD, native.constData(), X_OK, AT_EACCESS) == 0;
}

} // namespace quorvel
