// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QString>
#include <optional>

namespace quorvel {

/// Keeps one run from destroying what it must not: the source itself (when the
/// output folder is the source's folder) and a result this run already wrote
/// for another source of the same name. Files are compared as files, not texts.
class OutputGuard {
public:
    enum class Verdict { Clear, WouldReplaceSource, AlreadyWritten };

    Verdict check(const QString& source, const QString& output) const;
    /// Notes that `output` now holds the result of `source`.
    void recordWritten(const QString& source, const QString& output);

private:
    /// Key -> identity of the source whose result it holds.
    QHash<QString, QString> m_written;
};

/// A key that is equal for two paths exactly when they name the same existing
/// file; nothing for a path that names no file.
std::optional<QString> fileIdentity(const QString& path);

} // namespace quorvel
