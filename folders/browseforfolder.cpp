// SPDX-License-Identifier: MIT
#include "browseforfolder.h"

#include "platform/dialogs.h"

#include <QDir>

namespace quorvel {

namespace {
QString& startFolderState() {
    static QString folder;
    return folder;
}

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QDir::separator();
}

// "C:\" is a root; its separator belongs to it.
bool isDriveRoot(const QString& path) {
    return path.size() == 3 && path.at(0).isLetter() && path.at(1) == QLatin1Char(':') &&
           isSeparator(path.at(2));
}

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && isSeparator(path.back()) && !isDriveRoot(path)) {
        path.chop(1);
    }
    return path;
}
} // namespace

QString BrowseForFolder(Dialogs& dialogs, QWidget* owner, const QString& prompt,
                        const QString& startFolder) {
    startFolderState() = startFolder;
    QString chosen = dialogs.browseForFolder(owner, prompt, startFolder);
    // A text from a fixed-size path buffer ends at its first NUL.
    const qsizetype nul = chosen.indexOf(QChar(0));
    if (nul >= 0) {
        chosen.truncate(nul);
    }
    return withoutTrailingSeparator(chosen);
}

QString BrowseStartFolder() {
    return startFolderState();
}

} // namespace quorvel
