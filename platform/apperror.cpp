// SPDX-License-Identifier: MIT
#include "apperror.h"

#include <cerrno>
#include <utility>

namespace quorvel {

AppError::AppError(int number, QString description)
    : m_number(number), m_description(std::move(description)), m_what(m_description.toStdString()) {
}

QString errorDescription(int number) {
    switch (number) {
    case errnum::kOverflow:
        return QStringLiteral("Overflow");
    case errnum::kTypeMismatch:
        return QStringLiteral("Type mismatch");
    case errnum::kFileNotFound:
        return QStringLiteral("File not found");
    case errnum::kFileAlreadyOpen:
        return QStringLiteral("File already open");
    case errnum::kDeviceIo:
        return QStringLiteral("Device I/O error");
    case errnum::kDiskFull:
        return QStringLiteral("Disk full");
    case errnum::kPermissionDenied:
        return QStringLiteral("Permission denied");
    case errnum::kPathFileAccess:
        return QStringLiteral("Path/File access error");
    case errnum::kPathNotFound:
        return QStringLiteral("Path not found");
    case errnum::kInvalidPicture:
        return QStringLiteral("Invalid picture");
    case errnum::kCommonDialogBufferTooSmall:
        return QStringLiteral(
            "The FileName buffer is too small to store the selected file name(s).");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

AppError AppError::fromNumber(int number) {
    return AppError(number, errorDescription(number));
}

AppError AppError::fromErrno(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return fromNumber(errnum::kFileNotFound);
    case ENOTDIR:
        return fromNumber(errnum::kPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
        return fromNumber(errnum::kPermissionDenied);
    case ENOSPC:
    case EDQUOT:
        return fromNumber(errnum::kDiskFull);
    case EIO:
        return fromNumber(errnum::kDeviceIo);
    default:
        return fromNumber(errnum::kPathFileAccess);
    }
}

} // namespace quorvel
