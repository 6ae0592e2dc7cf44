// SPDX-License-Identifier: MIT
#pragma once

#include "filenamearray.h"

#include <QString>

namespace quorvel {

class FolderListingCache;

/// The names of the files in `folder` (with or without a trailing separator)
/// that match the wildcard `pattern` ("*.jpg", "*.*"), hidden ones included,
/// folders never, in the listing's order. Raises AppError when the folder
/// exists but cannot be read.
FileNameArray ListFolderFiles(const QString& folder, const QString& pattern);

/// The same, from the reading `cache` holds for `folder` when it holds one,
/// else from the disk.
FileNameArray ListFolderFiles(const QString& folder, const QString& pattern,
                              const FolderListingCache& cache);

/// True when the path names an existing file (a regular file, or a link to
/// one); false for a folder, for anything else and for any failure.
bool IsExistingFile(const QString& path);

/// True when a folder name holds a character the folder scan refuses: a
/// control character, one the code page places in 127 to 159, "?", or one the
/// code page cannot represent. An empty name is safe.
bool HasUnsafeNameChars(const QString& name);

} // namespace quorvel
