// SPDX-License-Identifier: MIT
#pragma once

#include "conversionoutcome.h"

#include <QList>
#include <QString>

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

// Why a file was not enlarged, one text per outcome, as the summary gives it.
inline const QString kReasonDamaged = QStringLiteral("the file is damaged or incomplete");
inline const QString kReasonNotAPicture = QStringLiteral("not a picture format this program reads");
inline const QString kReasonTooLarge = QStringLiteral("the picture or its result is too large");
inline const QString kReasonNotWritten = QStringLiteral("the result could not be written");
inline const QString kReasonInternalError = QStringLiteral("an internal error");
inline const QString kReasonNotStarted = QStringLiteral("the converter could not be started");
inline const QString kReasonStopped = QStringLiteral("the converter stopped unexpectedly");
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
