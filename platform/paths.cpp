// SPDX-License-Identifier: MIT
#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <sys/stat.h>

namespace quorvel {

bool PathExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

bool IsFolder(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString programFolder() {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString separator() {
    return QString(QDir::separator());
}

} // namespace quorvel
