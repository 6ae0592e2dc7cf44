// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

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

/// What an entry of a folder is; a link counts as what it leads to.
enum class EntryKind { File, Folder, Other };

/// One entry of a folder with its case-folded name, which the match and the
/// order both use.
struct FolderEntry {
    QString name;
    /// Null for a name of plain ASCII, whose folded form is its lower case.
    QString folded;
    EntryKind kind = EntryKind::Other;
    /// The entry is a symbolic link: what it leads to may change while the
    /// folder itself does not.
    bool link = false;
};

/// One reading of a folder: every entry but "." and "..", in the listing's order.
struct FolderEntries {
    std::vector<FolderEntry> entries;
    /// The errno of opening the folder, 0 when it opened.
    int openError = 0;
    /// The errno that cut the reading short, 0 when it read to the end.
    int readError = 0;
};

/// Which entries a reading keeps.
enum class EntriesWanted { All, FoldersOnly };

/// Reads `folder` once, entries and their kinds. A name the file-name encoding
/// cannot decode is kept in the form decodeFileName gives it.
/// `openError` ENOENT or ENOTDIR: there is no such folder.
FolderEntries readFolderEntries(const QString& folder, EntriesWanted wanted = EntriesWanted::All);

/// What a symbolic link in `folder` (ending in a separator) leads to now.
EntryKind linkedKind(const QString& folder, const QString& name);

/// listDirectory over a reading already made, which must have opened.
QStringList listDirectory(const FolderEntries& reading, const QString& pattern, int attributeMask);

/// Puts names into the listing's order: ignoring case first, then by exact text.
void sortListing(QStringList& names);

} // namespace quorvel
