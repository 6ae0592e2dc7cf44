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

bool isPathSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QDir::separator();
}

namespace {
bool isDriveRoot(const QString& path) {
    return path.size() == 3 && path.at(0).isLetter() && path.at(1) == QLatin1Char(':') &&
           isPathSeparator(path.at(2));
}
} // namespace

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && isPathSeparator(path.back()) && !isDriveRoot(path)) {
        path.chop(1);
    }
    return path;
}

} // namespace quorvel
