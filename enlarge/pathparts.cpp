// SPDX-License-Identifier: MIT
#include "pathparts.h"

#include "platform/paths.h"

#include <QDir>

namespace quorvel {

QString FileNameOf(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isPathSeparator(path.at(i))) {
            return path.mid(i + 1);
        }
    }
    return path;
}

QString ExtensionOf(const QString& path) {
    if (path.isEmpty()) {
        return QString();
    }
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot >= 1) {
        return path.mid(dot + 1);
    }
    return path;
}

QString outputPathFor(const QString& folderText, const QString& fileName) {
    // Without the separator the result would land beside the chosen folder, under
    // a name the user never asked for, and clearing that name first could delete
    // an unrelated file there.
    if (folderText.isEmpty() || isPathSeparator(folderText.back())) {
        return folderText + fileName;
    }
    return folderText + QDir::separator() + fileName;
}

} // namespace quorvel
