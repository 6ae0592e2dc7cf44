// SPDX-License-Identifier: MIT
#include "browseforfolder.h"

#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QDir>

namespace quorvel {

namespace {
QString& startFolderState() {
    static QString folder;
    return folder;
}

} // namespace

QString BrowseForFolder(Dialogs& dialogs, const QString& prompt, const QString& startFolder) {
    startFolderState() = startFolder;
    QString chosen = dialogs.browseForFolder(prompt, startFolder);
    // A text from a fixed-size path buffer ends at its first NUL.
    const qsizetype nul = chosen.indexOf(QChar(0));
    if (nul >= 0) {
        chosen.truncate(nul);
    }
    return withoutTrailingSeparators(chosen);
}

QString BrowseStartFolder() {
    return startFolderState();
}

} // namespace quorvel
