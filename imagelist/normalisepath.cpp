// SPDX-License-Identifier: MIT
#include "normalisepath.h"

#include <QDir>

namespace quorvel {

namespace {

// One left-to-right pass over non-overlapping pairs: a run of three keeps two.
QString halvePairs(QString text, QChar separator) {
    return text.replace(QString(2, separator), QString(separator));
}

QString collapseRuns(const QString& path, QChar separator) {
    QString out;
    out.reserve(path.size());
    bool previousWasSeparator = false;
    for (const QChar c : path) {
        const bool isSeparator = c == separator;
        if (!(isSeparator && previousWasSeparator)) {
            out.append(c);
        }
        previousWasSeparator = isSeparator;
    }
    return out;
}

} // namespace

QString NormalisePath(const QString& path, QChar separator) {
    // Only "\" paths can name a network share, whose two leading separators belong together.
    if (separator != QLatin1Char('\\')) {
        return collapseRuns(path, separator);
    }
    if (!path.startsWith(separator)) {
        return halvePairs(path, separator);
    }
    qsizetype first = 1;
    while (first < path.size() && path.at(first) == separator) {
        ++first;
    }
    return QString(2, separator) + halvePairs(path.mid(first), separator);
}

QString NormalisePath(const QString& path) {
    return NormalisePath(path, QDir::separator());
}

} // namespace quorvel
