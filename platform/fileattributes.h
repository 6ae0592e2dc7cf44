// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel {

/// Attribute bits of a file or folder, numbered as the program's folder rules
/// compare them (a hidden system folder reads 22).
namespace attr {
inline constexpr int kReadOnly = 1;
inline constexpr int kHidden = 2;
inline constexpr int kSystem = 4;
inline constexpr int kDirectory = 16;
inline constexpr int kArchive = 32;
inline constexpr int kAlias = 1024;
} // namespace attr

/// The attribute bits of a path. On POSIX: directory for a folder, archive for
/// every regular file, hidden for a name beginning with ".", read-only when the
/// owner has no write permission, alias for a symbolic link (the other bits then
/// describe its target); system is never set. Raises AppError when the path
/// does not exist.
int fileAttributes(const QString& path);

/// True for a name the desktop hides: one that begins with "." ("." and ".."
/// themselves excepted).
bool isHiddenName(const QString& name);

/// False when a file of this name cannot carry the hidden bit, so callers
/// looking for hidden files need not ask the disk. Always true on Windows,
/// where hiding is a stored attribute.
bool mayBeHidden(const QString& name);

} // namespace quorvel
