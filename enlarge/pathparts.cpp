// SPDX-License-Identifier: MIT
#include "pathparts.h"

#include <QDir>

namespace quorvel {

namespace {
bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
#else
    return c == QLatin1Char('/');
#endif
}
} // namespace

QString FileNameOf(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i))) {
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

QString OutputPathFor(const QString& folderText, const QString& fileName) {
    // Without the separator the result would land beside the chosen folder, under
    // a name the user never asked for, and clearing that name first could delete
    // an unrelated file there.
    if (folderText.isEmpty() || isSeparator(folderText.back())) {
        return folderText + fileName;
    }
    return folderText + QDir::separator() + fileName;
}

} // namespace quorvel
