// SPDX-License-Identifier: MIT
#include "folderfilesystem.h"

#include "folderlistingcache.h"
#include "platform/apperror.h"
#include "platform/fileattributes.h"
#include "platform/paths.h"
#include "platform/wildcardlisting.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <sys/stat.h>

namespace quorvel {

namespace {
bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QDir::separator();
}

// "dir/" would make the system look through a link; the link itself is wanted.
QString withoutTrailingSeparators(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && isSeparator(path.at(end - 1))) {
        --end;
    }
    return path.left(end);
}

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
    return fileAttributes(withoutTrailingSeparators(path));
}

bool FolderFileSystem::isRootFolder(const QString& path) const {
    return !path.isEmpty() && QDir(path).isRoot();
}

void FolderFileSystem::forEachSubFolder(
    const QString& path, const std::function<void(const QString& name)>& visit) const {
    FolderEntries reading = readFolderEntries(path);
    if (reading.openError != 0) {
        throw folderError(reading.openError);
    }
    if (reading.readError != 0) {
        throw folderError(reading.readError);
    }
    QStringList names;
    for (const FolderEntry& entry : reading.entries) {
        if (entry.kind == EntryKind::Folder) {
            names.append(entry.name);
        }
    }
    if (m_keep != nullptr) {
        m_keep->keep(path, std::move(reading));
    }
    for (const QString& name : std::as_const(names)) {
        visit(name);
    }
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

} // namespace quorvel
