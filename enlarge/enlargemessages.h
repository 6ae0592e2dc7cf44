// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

/// The texts a run shows; each is compared character for character in tests.
namespace enlargemsg {
inline const QString kNoFiles = QStringLiteral("No files added.");
inline const QString kNoFolder =
    QStringLiteral("Folder does not exist. Please select another folder.");
inline const QString kDone = QStringLiteral("Done.");
inline const QString kProcessingPrefix = QStringLiteral("Processing: ");
inline const QString kTooLarge =
    QStringLiteral("Maximum dimension of result file must be 15,000 pixels or less.");
inline const QString kWouldReplaceSource =
    QStringLiteral("The result would replace the original file. Please select another folder.");
inline const QString kAlreadyEnlarged =
    QStringLiteral("A file of this name was already enlarged into this folder in this run.");
} // namespace enlargemsg

/// "Cannot enlarge <name>." followed by CR LF and `reason`.
QString cannotEnlargeMessage(const QString& fileName, const QString& reason);

/// The last message of a run: "Done." alone when every conversion succeeded,
/// otherwise followed by how many of the `attempted` ones failed and their names
/// (at most ten, then "...").
QString doneMessage(const QStringList& failedNames, int attempted);

} // namespace quorvel
