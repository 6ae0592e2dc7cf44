// SPDX-License-Identifier: MIT
#include "apperror.h"

#include <QCoreApplication>
#include <cerrno>
#include <utility>

namespace quorvel {

AppError::AppError(int number, QString description)
    : m_number(number), m_description(std::move(description)), m_what(m_description.toStdString()) {
}

QString errorDescription(int number) {
    switch (number) {
    case errnum::kOverflow:
        return QCoreApplication::translate("ErrorBox", "Overflow");
    case errnum::kTypeMismatch:
        return QCoreApplication::translate("ErrorBox", "Type mismatch");
    case errnum::kFileNotFound:
        return QCoreApplication::translate("ErrorBox", "File not found");
    case errnum::kFileAlreadyOpen:
        return QCoreApplication::translate("ErrorBox", "File already open");
    case errnum::kDeviceIo:
        return QCoreApplication::translate("ErrorBox", "Device I/O error");
    case errnum::kDiskFull:
        return QCoreApplication::translate("ErrorBox", "Disk full");
    case errnum::kPermissionDenied:
        return QCoreApplication::translate("ErrorBox", "Permission denied");
    case errnum::kPathFileAccess:
        return QCoreApplication::translate("ErrorBox", "Path/File access error");
    case errnum::kPathNotFound:
        return QCoreApplication::translate("ErrorBox", "Path not found");
    case errnum::kInvalidPicture:
        return QCoreApplication::translate("ErrorBox", "Invalid picture");
    case errnum::kCommonDialogBufferTooSmall:
        return QCoreApplication::translate(
            "ErrorBox", "The FileName buffer is too small to store the selected file name(s).");
    default:
        return QCoreApplication::translate("ErrorBox",
                                           "Application-defined or object-defined error");
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
