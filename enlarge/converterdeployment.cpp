// SPDX-License-Identifier: MIT
#include "converterdeployment.h"

#include "fileoperations.h"
#include "platform/apperror.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvel {

namespace {

#ifndef Q_OS_WIN
// Anyone who can write to the folder could swap the converter between the
// moment we write it and the moment we start it, so the folder is the user's
// alone.
QString privateTemporaryFolder() {
    const QString folder =
        QDir::tempPath() + QStringLiteral("/quorvel-") + QString::number(qulonglong(::getuid()));
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        throw AppError::fromErrno(errno);
    }
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) {
        throw AppError::fromErrno(errno);
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        throw AppError::fromNumber(errnum::kPermissionDenied);
    }
    if ((st.st_mode & 077) != 0 && ::chmod(name.constData(), 0700) != 0) {
        throw AppError::fromErrno(errno);
    }
    return folder;
}

bool ownedPlainFile(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           st.st_uid == ::getuid();
}
#else
QString privateTemporaryFolder() {
    const QString folder = QDir::tempPath() + QStringLiteral("/Quorvel");
    if (!QDir().mkpath(folder)) {
        throw AppError::fromNumber(errnum::kPathNotFound);
    }
    return QDir::toNativeSeparators(folder);
}

bool ownedPlainFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}
#endif

bool holdsExactly(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.size() != bytes.size() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return file.readAll() == bytes;
}

} // namespace

QString converterFileName() {
#ifdef Q_OS_WIN
    return QStringLiteral("nconvert.exe");
#else
    return QStringLiteral("nconvert");
#endif
}

QProcessEnvironment converterEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    // Only this folder: any other entry, an empty one (the current folder) included, would be
    // searched for the libraries this folder does not hold.
    environment.insert(QStringLiteral("LD_LIBRARY_PATH"),
                       programFolder() + QStringLiteral("/vips"));
#endif
    return environment;
}

QString ConverterPath() {
    QString folder = qEnvironmentVariable("TEMP");
    if (folder.isEmpty()) {
        folder = privateTemporaryFolder();
    }
    if (folder.endsWith(separator())) {
        folder.chop(1);
    }
    return folder + separator() + converterFileName();
}

void DeployConverter(const QByteArray& converter) {
    if (converter.isEmpty()) {
        // An empty file at the path would only fail later, at every start.
        throw AppError::fromNumber(errnum::kFileNotFound);
    }
    const QString path = ConverterPath();
    if (!PathExists(path) && !QFileInfo(path).isSymLink()) {
        WriteBytesIfAbsent(converter, path);
        return;
    }
    if (IsFolder(path) && !QFileInfo(path).isSymLink()) {
        return;
    }
    if (ownedPlainFile(path) && holdsExactly(path, converter)) {
        // Ours to run, and nobody else's to change.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
        return;
    }
    ReplaceFileWithBytes(converter, path);
}

} // namespace quorvel
