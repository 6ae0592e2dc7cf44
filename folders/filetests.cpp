// SPDX-License-Identifier: MIT
#include "filetests.h"

#include "platform/codepage.h"
#include "platform/fileattributes.h"
#include "platform/wildcardlisting.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace quorvel {

namespace {
constexpr int kFirstCapacity = 100;
constexpr int kGrowth = 50;
} // namespace

FileNameArray ListFolderFiles(const QString& folder, const QString& pattern) {
    // Slot 0 is never filled; names go into cells 1 to count.
    QStringList cells(kFirstCapacity + 1);
    int count = 0;
    QString path = folder;
    if (!path.endsWith(QDir::separator())) {
        path += QDir::separator();
    }
    // The listing admits regular files only (links to one included), which is
    // what IsExistingFile would test once more for every name; the caller tests
    // each file again before it uses it.
    const QStringList listed = listDirectory(path, pattern, attr::kHidden | attr::kSystem);
    for (const QString& name : listed) {
        ++count;
        if (count > cells.size() - 1) {
            cells.resize(cells.size() + kGrowth);
        }
        cells[count] = name;
    }
    if (count == 0) {
        return FileNameArray();
    }
    cells.resize(count + 1);
    return FileNameArray(std::move(cells));
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
