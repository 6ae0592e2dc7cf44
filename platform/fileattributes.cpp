// SPDX-License-Identifier: MIT
#include "fileattributes.h"

#include "apperror.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace quorvel {

namespace {
QString lastComponent(const QString& path) {
    qsizetype end = path.size();
    while (end > 0 &&
           (path.at(end - 1) == QLatin1Char('/') || path.at(end - 1) == QLatin1Char('\\'))) {
        --end;
    }
    qsizetype start = end;
    while (start > 0 && path.at(start - 1) != QLatin1Char('/') &&
           path.at(start - 1) != QLatin1Char('\\')) {
        --start;
    }
    return path.mid(start, end - start);
}
} // namespace

bool isHiddenName(const QString& name) {
    return name.startsWith(QLatin1Char('.')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

bool mayBeHidden(const QString& name) {
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    return true;
#else
    return isHiddenName(name);
#endif
}

int fileAttributes(const QString& path) {
    if (path.isEmpty()) {
        throw AppError::fromNumber(errnum::kFileNotFound);
    }
    const QByteArray native = QFile::encodeName(path);
    struct stat own {};
    if (::lstat(native.constData(), &own) != 0) {
        throw AppError::fromErrno(errno);
    }
    int bits = 0;
    struct stat target = own;
    if (S_ISLNK(own.st_mode)) {
        bits |= attr::kAlias;
        // A dangling link keeps only what the link itself says.
        if (::stat(native.constData(), &target) != 0) {
            target = own;
        }
    }
    if (S_ISDIR(target.st_mode)) {
        bits |= attr::kDirectory;
    } else if (S_ISREG(target.st_mode)) {
        bits |= attr::kArchive;
    }
    if (!S_ISLNK(target.st_mode) && (target.st_mode & S_IWUSR) == 0) {
        bits |= attr::kReadOnly;
    }
    if (isHiddenName(lastComponent(path))) {
        bits |= attr::kHidden;
    }
    return bits;
}

} // namespace quorvel
