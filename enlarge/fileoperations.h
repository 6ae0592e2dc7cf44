// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace quorvel {

/// Yields once; then, unless something of that name exists, creates the file and
/// writes `bytes` to it unchanged with owner-only permissions (read, write,
/// execute). Raises AppError when the file cannot be created or written.
void WriteBytesIfAbsent(const QByteArray& bytes, const QString& path);

/// Puts `bytes` at `path` through a temporary file in the same folder renamed
/// over it, so the path never holds a partial file. Replaces whatever file or
/// link was there (not a folder). Raises AppError on failure.
void ReplaceFileWithBytes(const QByteArray& bytes, const QString& path);

/// Yields once, then removes the file, read-only or not. A missing file or a
/// failure to remove it is silently ignored.
void DeleteFileIfPresent(const QString& path);

/// Removes the file even when it is read-only. Raises AppError on failure.
void ForceDeleteFile(const QString& path);

} // namespace quorvel
