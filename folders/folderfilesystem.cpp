// SPDX-License-Identifier: MIT
#include "folderfilesystem.h"

#include "platform/apperror.h"
#include "platform/fileattributes.h"
#include "platform/paths.h"
#include "platform/wildcardlisting.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <dirent.h>
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
    QByteArray native = QFile::encodeName(path);
    if (!native.endsWith('/')) {
        native.append('/');
    }
    DIR* dir = ::opendir(native.constData());
    if (dir == nullptr) {
        throw folderError(errno);
    }
    QStringList names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) {
            continue;
        }
        bool folder = false;
#ifdef _DIRENT_HAVE_D_TYPE
        folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
#endif
        {
            struct stat st {};
            folder = ::stat((native + raw).constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (folder) {
            names.append(QFile::decodeName(raw));
        }
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        throw folderError(readError);
    }
    sortListing(names);
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
