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
    QString out(path.size(), Qt::Uninitialized);
    QChar* to = out.data();
    bool previousWasSeparator = false;
    for (const QChar c : path) {
        const bool isSeparator = c == separator;
        if (!(isSeparator && previousWasSeparator)) {
            *to++ = c;
        }
        previousWasSeparator = isSeparator;
    }
    out.truncate(to - out.constData());
    return out;
}

bool hasDoubledSeparator(QStringView path, QChar separator) {
    const char16_t* data = path.utf16();
    const char16_t sep = separator.unicode();
    for (qsizetype i = 1; i < path.size(); ++i) {
        if (data[i] == sep && data[i - 1] == sep) {
            return true;
        }
    }
    return false;
}

} // namespace

QString NormalisePath(const QString& path, QChar separator) {
    // The common case has nothing to clean and no network prefix; it shares
    // the caller's text instead of building a copy.
    if (!hasDoubledSeparator(path, separator) &&
        !(separator == QLatin1Char('\\') && path.startsWith(separator))) {
        return path;
    }
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
