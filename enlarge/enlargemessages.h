// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

/// The texts a run shows, in the user's language; in English each is compared
/// character for character in tests.
namespace enlargemsg {
QString noFiles();
QString noFolder();
QString done();
/// The bar's text while `fileName` is converted.
QString processing(const QString& fileName);
QString tooLarge();
QString wouldReplaceSource();
QString alreadyEnlarged();
} // namespace enlargemsg

/// "Cannot enlarge <name>." followed by CR LF and `reason`.
QString cannotEnlargeMessage(const QString& fileName, const QString& reason);

/// The last message of a run: "Done." alone when every conversion succeeded,
/// otherwise followed by how many of the `attempted` ones failed and their names
/// (at most ten, then "...").
QString doneMessage(const QStringList& failedNames, int attempted);

} // namespace quorvel
