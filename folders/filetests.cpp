// SPDX-License-Identifier: MIT
#include "filetests.h"

#include "folderlistingcache.h"
#include "platform/codepage.h"
#include "platform/fileattributes.h"
#include "platform/wildcardlisting.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace quorvel {

namespace {
FileNameArray toCells(const QStringList& listed) {
    if (listed.isEmpty()) {
        return FileNameArray();
    }
    // Slot 0 is never filled; names go into cells 1 to count.
    QStringList cells;
    cells.reserve(listed.size() + 1);
    cells.append(QString());
    cells.append(listed);
    return FileNameArray(std::move(cells));
}

QString withSeparator(const QString& folder) {
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

// The listing admits regular files only (links to one included), which is what
// IsExistingFile would test once more for every name; the caller tests each
// file again before it uses it.
constexpr int kFileMask = attr::kHidden | attr::kSystem;
} // namespace

FileNameArray ListFolderFiles(const QString& folder, const QString& pattern) {
    return toCells(listDirectory(withSeparator(folder), pattern, kFileMask));
}

FileNameArray ListFolderFiles(const QString& folder, const QString& pattern,
                              const FolderListingCache& cache) {
    const QString path = withSeparator(folder);
    if (const FolderEntries* reading = cache.find(path)) {
        return toCells(listDirectory(*reading, pattern, kFileMask));
    }
    return toCells(listDirectory(path, pattern, kFileMask));
}

bool IsExistingFile(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HasUnsafeNameChars(const QString& name) {
    for (const QChar c : name) {
        const int code = ansiCode(c);
        if ((code > 126 && code < 160) || code < 32 || code == 63) {
            return true;
        }
    }
    return false;
}

} // namespace quorvel
