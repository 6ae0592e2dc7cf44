// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

/// Matches a name against a wildcard pattern by the desktop's rules: "*" stands
/// for any run of characters, "?" for one character, letters match in either
/// case, and a pattern ending in ".*" also matches the name without that ending,
/// so "*.*" matches every name, with a dot or without.
bool wildcardMatch(const QString& pattern, const QString& name);

/// The names in `folder` that match `pattern`. `attributeMask` admits hidden (2),
/// system (4) and directory (16) entries; ordinary files always qualify, so mask 6
/// lists every regular file, hidden ones included, and never a folder. Names come
/// sorted (ignoring case, then by exact text), so repeated listings agree. A
/// folder that does not exist lists nothing; one that cannot be read raises AppError.
QStringList listDirectory(const QString& folder, const QString& pattern, int attributeMask);

/// Puts names into the listing's order: ignoring case first, then by exact text.
void sortListing(QStringList& names);

} // namespace quorvel
