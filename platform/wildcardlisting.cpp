// SPDX-License-Identifier: MIT
#include "wildcardlisting.h"

#include "apperror.h"
#include "fileattributes.h"
#include "filenameencoding.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quorvel {

namespace {
// The case-folded characters of a text. A name of plain ASCII keeps no folded
// copy: its folded form is its lower case, made here one character at a time.
class Folded {
public:
    explicit Folded(QStringView folded) : m_text(folded) {}
    explicit Folded(const FolderEntry& entry)
        : m_text(entry.folded.isNull() ? entry.name : entry.folded),
          m_ascii(entry.folded.isNull()) {}

    qsizetype size() const { return m_text.size(); }
    char16_t operator[](qsizetype i) const {
        const char16_t c = m_text[i].unicode();
        return m_ascii && c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    }

private:
    QStringView m_text;
    bool m_ascii = false;
};

// The pattern already case-folded. Greedy with one back-track point per star,
// which is linear enough for file names and never recurses.
bool globMatch(QStringView pattern, const Folded& name) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || pattern[p].unicode() == name[n])) {
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

bool foldedMatch(QStringView pattern, const Folded& name) {
    if (globMatch(pattern, name)) {
        return true;
    }
    return pattern.endsWith(QLatin1String(".*")) && globMatch(pattern.chopped(2), name);
}

// The order of the folded texts compared as UTF-16 code units.
int compareFolded(const Folded& a, const Folded& b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (a[i] != b[i]) {
            return a[i] < b[i] ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

EntryKind kindOfMode(mode_t mode) {
    return S_ISREG(mode) ? EntryKind::File : S_ISDIR(mode) ? EntryKind::Folder : EntryKind::Other;
}

// What the path leads to, through any link.
EntryKind kindThrough(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 ? kindOfMode(st.st_mode) : EntryKind::Other;
}

struct Kind {
    EntryKind kind = EntryKind::Other;
    bool link = false;
};

// The listing says what most entries are; only a link, or an entry of a file
// system that does not say, costs a look of its own.
Kind kindOf(const QByteArray& folder, const dirent* entry) {
#ifdef _DIRENT_HAVE_D_TYPE
    switch (entry->d_type) {
    case DT_REG:
        return {EntryKind::File, false};
    case DT_DIR:
        return {EntryKind::Folder, false};
    case DT_LNK:
        return {kindThrough(folder + entry->d_name), true};
    case DT_UNKNOWN:
        break;
    default:
        return {EntryKind::Other, false};
    }
#endif
    const QByteArray path = folder + entry->d_name;
    struct stat own {};
    if (::lstat(path.constData(), &own) != 0) {
        return {};
    }
    if (S_ISLNK(own.st_mode)) {
        return {kindThrough(path), true};
    }
    return {kindOfMode(own.st_mode), false};
}

bool inListingOrder(const FolderEntry& a, const FolderEntry& b) {
    const int folded = compareFolded(Folded(a), Folded(b));
    return folded != 0 ? folded < 0 : a.name < b.name;
}

bool isAscii(const char* raw, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(raw[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}
} // namespace

bool wildcardMatch(const QString& pattern, const QString& name) {
    return foldedMatch(pattern.toCaseFolded(), Folded(name.toCaseFolded()));
}

FolderEntries readFolderEntries(const QString& folder, EntriesWanted wanted) {
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
        const Kind kind = kindOf(native, entry);
        // The folder scan needs only the subfolders: files are not made text.
        if (wanted == EntriesWanted::FoldersOnly && kind.kind != EntryKind::Folder) {
            continue;
        }
        FolderEntry& kept = reading.entries.emplace_back();
        kept.kind = kind.kind;
        kept.link = kind.link;
        const size_t length = std::strlen(raw);
        if (isAscii(raw, length)) {
            // What decoding gives for plain ASCII, without the converter.
            kept.name = QString::fromLatin1(raw, qsizetype(length));
        } else {
            kept.name = decodeFileName(QByteArrayView(raw, qsizetype(length)));
            kept.folded = kept.name.toCaseFolded();
        }
    }
    ::closedir(dir);
    std::sort(reading.entries.begin(), reading.entries.end(), inListingOrder);
    return reading;
}

EntryKind linkedKind(const QString& folder, const QString& name) {
    return kindThrough(QFile::encodeName(folder + name));
}

QStringList listDirectory(const FolderEntries& reading, const QString& pattern, int attributeMask) {
    const QString foldedPattern = pattern.toCaseFolded();
    QStringList names;
    names.reserve(qsizetype(reading.entries.size()));
    for (const FolderEntry& entry : reading.entries) {
        if (entry.kind == EntryKind::Other || !foldedMatch(foldedPattern, Folded(entry))) {
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
        keyed.push_back({name, name.toCaseFolded(), EntryKind::Other, false});
    }
    std::sort(keyed.begin(), keyed.end(), inListingOrder);
    for (qsizetype i = 0; i < names.size(); ++i) {
        names[i] = std::move(keyed[size_t(i)].name);
    }
}

} // namespace quorvel
