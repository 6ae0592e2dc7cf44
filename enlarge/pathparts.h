// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel {

/// Everything after the last path separator; the whole path when it has none.
QString FileNameOf(const QString& path);

/// The text after the last full stop when that stop is the second character or
/// later; the empty text for an empty path; otherwise the whole path. The search
/// runs over the whole path, folders included.
QString ExtensionOf(const QString& path);

/// Where the result of `fileName` goes: the folder text followed by the name,
/// with one separator put between them when the folder text does not end in one.
QString outputPathFor(const QString& folderText, const QString& fileName);

} // namespace quorvel
