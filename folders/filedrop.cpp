// SPDX-License-Identifier: MIT
#include "filedrop.h"

#include "filetests.h"
#include "getsubdirectories.h"
#include "imagelist/imagelist.h"
#include "imagelist/normalisepath.h"
#include "platform/apperror.h"
#include "platform/errortrap.h"
#include "platform/fileattributes.h"
#include "platform/paths.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace quorvel {

namespace {
// Hidden and archive and nothing else: a writable dot-file.
constexpr int kPlainHiddenFile = attr::kHidden | attr::kArchive;

// Only the directory bit decides. A folder whose name begins with a dot also
// reads as hidden, and a listing that admits folders but not hidden entries
// would not find it, so the entry would become one row naming a folder; the
// user dropped a folder, and it is added as one.
bool isDroppedFolder(const QString& path) {
    try {
        return (fileAttributes(path) & attr::kDirectory) != 0;
    } catch (const AppError&) {
        // Gone since the drag began: it is added as delivered, like any file.
        return false;
    }
}

void addFolderTree(ImageList& list, Dialogs& dialogs, const FolderFileSystem& fs,
                   const QString& folder) {
    const QString sep = separator();
    QStringList folders{folder + sep};
    FolderReadings readings;
    GetSubDirectories2016(folders, true, dialogs, fs, &readings);
    for (const QString& entry : std::as_const(folders)) {
        const QString path = entry.left(entry.size() - 1);
        const FileNameArray names = ListFolderFiles(path, QStringLiteral("*.*"), fs, &readings);
        for (int i = 1; i <= names.upperBound(); ++i) {
            const QString& name = names.at(i);
            if (name.startsWith(QLatin1Char('~'))) {
                continue;
            }
            const QString full = path + sep + name;
            if (!IsExistingFile(full) || fileAttributes(full) == kPlainHiddenFile) {
                continue;
            }
            AddImageRow(list, NormalisePath(full));
        }
    }
}
} // namespace

QStringList droppedPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            QString path = QDir::toNativeSeparators(url.toLocalFile());
            // A folder may come with a closing separator; the root keeps its own.
            if (path.size() > 1 && path.endsWith(separator())) {
                path.chop(1);
            }
            paths.append(path);
        }
    }
    return paths;
}

void dropFiles(ImageList& list, Dialogs& dialogs, const QStringList& paths,
               const FolderFileSystem& fileSystem) {
    // The drop has no error box of its own and numbers no steps; an error ends
    // the entry it hit and is reported, as for any handler without a trap, so
    // the user knows the list may be incomplete. The next entry is added.
    ErrorTrap trap(dialogs, formLocation(QStringLiteral("ListView1_OLEDragDrop")));
    for (const QString& path : paths) {
        trap.step(kUnnumberedLine, [&] {
            if (isDroppedFolder(path)) {
                addFolderTree(list, dialogs, fileSystem, path);
            } else {
                AddImageRow(list, path);
            }
        });
    }
}

} // namespace quorvel
