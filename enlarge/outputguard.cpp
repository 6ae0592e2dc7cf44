// SPDX-License-Identifier: MIT
#include "outputguard.h"

#include <QFile>
#include <QFileInfo>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace quorvel {

std::optional<QString> fileIdentity(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
#ifndef Q_OS_WIN
    // Device and inode see through links, "..", case-insensitive volumes and
    // hard links alike.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return std::nullopt;
    }
    return QString::number(qulonglong(st.st_dev)) + QLatin1Char(':') +
           QString::number(qulonglong(st.st_ino));
#else
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty()) {
        return std::nullopt;
    }
    return canonical.toCaseFolded();
#endif
}

OutputGuard::Verdict OutputGuard::check(const QString& source, const QString& output) const {
    const std::optional<QString> outputId = fileIdentity(output);
    if (!outputId) {
        return Verdict::Clear;
    }
    const std::optional<QString> sourceId = fileIdentity(source);
    if (sourceId && *sourceId == *outputId) {
        return Verdict::WouldReplaceSource;
    }
    const auto written = m_written.constFind(*outputId);
    if (written != m_written.cend() && (!sourceId || *written != *sourceId)) {
        return Verdict::AlreadyWritten;
    }
    return Verdict::Clear;
}

void OutputGuard::recordWritten(const QString& source, const QString& output) {
    const std::optional<QString> outputId = fileIdentity(output);
    const std::optional<QString> sourceId = fileIdentity(source);
    if (outputId && sourceId) {
        m_written.insert(*outputId, *sourceId);
    }
}

} // namespace quorvel
