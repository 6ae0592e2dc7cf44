// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace quorvel {

/// Error numbers the program raises and reports; the user sees them in the
/// "Application Error" box, so they keep the classic run-time numbering.
namespace errnum {
inline constexpr int kOverflow = 6;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAlreadyOpen = 55;
inline constexpr int kDeviceIo = 57;
inline constexpr int kDiskFull = 61;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInvalidPicture = 481;
inline constexpr int kCommonDialogBufferTooSmall = 20476;
} // namespace errnum

/// A run-time error with a number and the description the user is shown.
class AppError : public std::exception {
public:
    AppError(int number, QString description);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

    /// The error with its standard description, for the numbers above.
    static AppError fromNumber(int number);
    /// Maps an errno value of a failed file operation onto the program's numbers.
    static AppError fromErrno(int errnoValue);

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

/// Standard description of an error number ("Overflow", "File not found", ...).
QString errorDescription(int number);

} // namespace quorvel
