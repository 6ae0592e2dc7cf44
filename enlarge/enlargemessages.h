// SPDX-License-Identifier: MIT
#pragma once

#include "conversionoutcome.h"

#include <QList>
#include <QString>

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

/// The summary's text for why a file was not enlarged (empty for Enlarged).
QString reasonText(ConversionOutcome outcome);

/// One line of the summary: "<name>: <reason>", then " (<detail>)" when the
/// converter gave one.
QString failureLine(const FailedConversion& failure);

/// The last message of a run: "Done." alone when every conversion succeeded,
/// otherwise followed by how many of the `attempted` ones failed and, for at
/// most ten of them, the name with the reason (then "...").
QString doneMessage(const QList<FailedConversion>& failures, int attempted);

} // namespace quorvel
