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

enum class Kind { File, Folder, Other };

Kind kindOf(const QByteArray& folder, const dirent* entry) {
#ifdef _DIRENT_HAVE_D_TYPE
    if (entry->d_type == DT_REG) {
        return Kind::File;
    }
    if (entry->d_type == DT_DIR) {
        return Kind::Folder;
    }
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
        return Kind::Other;
    }
#endif
    struct stat st {};
    if (::stat((folder + entry->d_name).constData(), &st) != 0) {
        return Kind::Other;
    }
    return S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
}
} // namespace

bool wildcardMatch(const QString& pattern, const QString& name) {
    return foldedMatch(pattern.toCaseFolded(), name.toCaseFolded());
}

namespace {
// Names with their case-folded form, which both the match and the order use.
using Keyed = std::vector<std::pair<QString, QString>>;

QStringList inListingOrder(Keyed& keyed) {
    std::sort(keyed.begin(), keyed.end());
    QStringList names;
    names.reserve(qsizetype(keyed.size()));
    for (auto& [folded, name] : keyed) {
        names.append(std::move(name));
    }
    return names;
}
} // namespace

QStringList listDirectory(const QString& folder, const QString& pattern, int attributeMask) {
    QByteArray native = QFile::encodeName(folder);
    if (!native.endsWith('/')) {
        native.append('/');
    }
    DIR* dir = ::opendir(native.constData());
    if (dir == nullptr) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        throw AppError::fromErrno(errno);
    }
    const QString foldedPattern = pattern.toCaseFolded();
    Keyed keyed;
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) {
            continue;
        }
        QString name = QFile::decodeName(raw);
        QString folded = name.toCaseFolded();
        if (!foldedMatch(foldedPattern, folded)) {
            continue;
        }
        const Kind kind = kindOf(native, entry);
        if (kind == Kind::Other) {
            continue;
        }
        int bits = kind == Kind::Folder ? attr::kDirectory : 0;
        if (raw[0] == '.') {
            bits |= attr::kHidden;
        }
        if ((bits & ~attributeMask) == 0) {
            keyed.emplace_back(std::move(folded), std::move(name));
        }
    }
    ::closedir(dir);
    return inListingOrder(keyed);
}

void sortListing(QStringList& names) {
    Keyed keyed;
    keyed.reserve(size_t(names.size()));
    for (const QString& name : std::as_const(names)) {
        keyed.emplace_back(name.toCaseFolded(), name);
    }
    names = inListingOrder(keyed);
}

} // namespace quorvel
