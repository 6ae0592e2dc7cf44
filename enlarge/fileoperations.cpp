// SPDX-License-Identifier: MIT
#include "fileoperations.h"

#include "platform/apperror.h"
#include "platform/paths.h"
#include "platform/yield.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace quorvel {

namespace {
constexpr QFile::Permissions kOwnerAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

AppError errorOf(const QFileDevice& file) {
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return AppError::fromNumber(errnum::kPermissionDenied);
    case QFileDevice::ResourceError:
        return AppError::fromNumber(errnum::kDiskFull);
    case QFileDevice::WriteError:
        return AppError::fromNumber(errnum::kDeviceIo);
    default:
        return AppError::fromNumber(errnum::kPathFileAccess);
    }
}

// Removes a file or a link, never a folder (not even an empty one).
void removeFile(const QString& path) {
#ifdef Q_OS_WIN
    if (!QFile::remove(path)) {
        throw AppError::fromNumber(errnum::kPathFileAccess);
    }
#else
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        throw AppError::fromErrno(errno);
    }
#endif
}

void renameOver(const QString& from, const QString& to) {
#ifdef Q_OS_WIN
    QFile::remove(to);
#endif
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        throw AppError::fromErrno(errno);
    }
}
} // namespace

void WriteBytesIfAbsent(const QByteArray& bytes, const QString& path) {
    yieldToEventLoop();
    if (PathExists(path)) {
        return;
    }
    QFile file(path);
    // NewOnly: something that appeared since the test above is left alone.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        throw errorOf(file);
    }
    if (!file.setPermissions(kOwnerAll) || file.write(bytes) != bytes.size() || !file.flush()) {
        const AppError error = errorOf(file);
        file.close();
        file.remove();
        throw error;
    }
    file.close();
}

void ReplaceFileWithBytes(const QByteArray& bytes, const QString& path) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open()) {
        throw errorOf(file);
    }
    if (!file.setPermissions(kOwnerAll) || file.write(bytes) != bytes.size() || !file.flush()) {
        throw errorOf(file);
    }
    file.close();
    // rename() replaces a link at the path itself; its target is never written.
    renameOver(file.fileName(), path);
    file.setAutoRemove(false);
}

void DeleteFileIfPresent(const QString& path) {
    yieldToEventLoop();
    try {
        removeFile(path);
    } catch (const AppError&) {
        try {
            ForceDeleteFile(path);
        } catch (const AppError&) {
            // Nothing to report: a missing file is the usual case.
        }
    }
}

void ForceDeleteFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) {
        throw AppError::fromNumber(errnum::kFileNotFound);
    }
    if (!info.exists() && !info.isSymLink()) {
        throw AppError::fromNumber(errnum::kFileNotFound);
    }
    if (!info.isSymLink() && !info.isWritable()) {
        QFile::setPermissions(path, info.permissions() | QFile::WriteOwner | QFile::WriteUser);
    }
    removeFile(path);
}

} // namespace quorvel
