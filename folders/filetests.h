// SPDX-License-Identifier: MIT
#pragma once

#include "filenamearray.h"
#include "folderfilesystem.h"
#include "folderreadings.h"

#include <QString>

namespace quorvel {

/// The names of the files in `folder` (with or without a trailing separator)
/// that match the wildcard `pattern` ("*.jpg", "*.*"), hidden ones included,
/// folders never, in the listing's order: only files that exist and open as
/// they are listed. The folder is read afresh, or its reading in `kept` serves
/// while the folder is provably unchanged since (links are looked at afresh
/// even then). Raises AppError when the folder exists but cannot be read.
FileNameArray ListFolderFiles(const QString& folder, const QString& pattern,
                              const FolderFileSystem& fileSystem = FolderFileSystem::real(),
                              FolderReadings* kept = nullptr);

/// True when the path names an existing file (a regular file, or a link to
/// one) that the path as given opens; false for a folder, for anything else
/// and for any failure.
bool IsExistingFile(const QString& path);

/// True when a folder name holds what the folder scan refuses: on Windows a
/// control character, one the ANSI code page places in 127 to 159, or one it
/// cannot represent ("?" included); elsewhere only a control character (below
/// 32, or 127) or bytes the file-name encoding could not decode. An empty name
/// is safe.
bool HasUnsafeNameChars(const QString& name);

} // namespace quorvel
