// SPDX-License-Identifier: MIT
#include "wildcardlisting.h"

#include "apperror.h"
#include "fileattributes.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quorvel {

namespace {
// Both texts already case-folded. Greedy with one back-track point per star,
// which is linear enough for file names and never recurses.
bool globMatch(QStringView pattern, QStringView name) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
        ++p;
    }
    return p == pattern.size();
}

bool foldedMatch(QStringView pattern, QStringView name) {
    if (globMatch(pattern, name)) {
        return true;
    }
    return pattern.endsWith(QLatin1String(".*")) && globMatch(pattern.chopped(2), name);
}

EntryKind kindOf(const QByteArray& folder, const dirent* entry) {
#ifdef _DIRENT_HAVE_D_TYPE
    if (entry->d_type == DT_REG) {
        return EntryKind::File;
    }
    if (entry->d_type == DT_DIR) {
        return EntryKind::Folder;
    }
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
        return EntryKind::Other;
    }
#endif
    struct stat st {};
    if (::stat((folder + entry->d_name).constData(), &st) != 0) {
        return EntryKind::Other;
    }
    return S_ISREG(st.st_mode)   ? EntryKind::File
           : S_ISDIR(st.st_mode) ? EntryKind::Folder
                                 : EntryKind::Other;
}

bool inListingOrder(const FolderEntry& a, const FolderEntry& b) {
    const int folded = a.folded.compare(b.folded);
    return folded != 0 ? folded < 0 : a.name < b.name;
}
} // namespace

bool wildcardMatch(const QString& pattern, const QString& name) {
    return foldedMatch(pattern.toCaseFolded(), name.toCaseFolded());
}

FolderEntries readFolderEntries(const QString& folder) {
    QByteArray native = QFile::encodeName(folder);
    if (!native.endsWith('/')) {
        native.append('/');
    }
    FolderEntries reading;
    DIR* dir = ::opendir(native.constData());
    if (dir == nullptr) {
        reading.openError = errno;
        return reading;
    }
    for (;;) {
        // The kind test below may set errno for a dangling link; only
        // readdir's own report counts as a failed reading.
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            reading.readError = errno;
            break;
        }
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) {
            continue;
        }
        FolderEntry& kept = reading.entries.emplace_back();
        kept.name = QFile::decodeName(raw);
        kept.folded = kept.name.toCaseFolded();
        kept.kind = kindOf(native, entry);
    }
    ::closedir(dir);
    std::sort(reading.entries.begin(), reading.entries.end(), inListingOrder);
    return reading;
}

QStringList listDirectory(const FolderEntries& reading, const QString& pattern, int attributeMask) {
    const QString foldedPattern = pattern.toCaseFolded();
    QStringList names;
    for (const FolderEntry& entry : reading.entries) {
        if (entry.kind == EntryKind::Other || !foldedMatch(foldedPattern, entry.folded)) {
            continue;
        }
        int bits = entry.kind == EntryKind::Folder ? attr::kDirectory : 0;
        if (entry.name.startsWith(QLatin1Char('.'))) {
            bits |= attr::kHidden;
        }
        if ((bits & ~attributeMask) == 0) {
            names.append(entry.name);
        }
    }
    return names;
}

QStringList listDirectory(const QString& folder, const QString& pattern, int attributeMask) {
    const FolderEntries reading = readFolderEntries(folder);
    if (reading.openError == ENOENT || reading.openError == ENOTDIR) {
        return {};
    }
    if (reading.openError != 0) {
        throw AppError::fromErrno(reading.openError);
    }
    return listDirectory(reading, pattern, attributeMask);
}

void sortListing(QStringList& names) {
    std::vector<FolderEntry> keyed;
    keyed.reserve(size_t(names.size()));
    for (const QString& name : std::as_const(names)) {
        keyed.push_back({name, name.toCaseFolded(), EntryKind::Other});
    }
    std::sort(keyed.begin(), keyed.end(), inListingOrder);
    for (qsizetype i = 0; i < names.size(); ++i) {
        names[i] = std::move(keyed[size_t(i)].name);
    }
}

} // namespace quorvel
