// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QString>

namespace quorvel {

/// Cleans a path joined from a folder, a separator and a name, where the folder
/// may already end in the separator (a root folder does).
///
/// With "\" as the separator a leading run of separators (a network path) becomes
/// exactly two, and elsewhere each pair becomes one in a single left-to-right pass
/// (so three in a row become two). With any other separator there is no network
/// prefix, and every run of separators becomes one, the leading run included.
QString NormalisePath(const QString& path, QChar separator);

/// The same with the platform's own separator.
QString NormalisePath(const QString& path);

} // namespace quorvel
