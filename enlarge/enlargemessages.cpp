// SPDX-License-Identifier: MIT
#include "enlargemessages.h"

#include <QCoreApplication>

namespace quorvel {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
constexpr qsizetype kMaxNamesListed = 10;
} // namespace

namespace enlargemsg {
QString noFiles() {
    return QCoreApplication::translate("Enlarge", "No files added.");
}
QString noFolder() {
    return QCoreApplication::translate("Enlarge",
                                       "Folder does not exist. Please select another folder.");
}
QString done() {
    return QCoreApplication::translate("Enlarge", "Done.");
}
QString processing(const QString& fileName) {
    return QCoreApplication::translate("Enlarge", "Processing: %1").arg(fileName);
}
QString tooLarge() {
    return QCoreApplication::translate(
        "Enlarge", "Maximum dimension of result file must be 15,000 pixels or less.");
}
QString wouldReplaceSource() {
    return QCoreApplication::translate(
        "Enlarge", "The result would replace the original file. Please select another folder.");
}
QString alreadyEnlarged() {
    return QCoreApplication::translate(
        "Enlarge", "A file of this name was already enlarged into this folder in this run.");
}
} // namespace enlargemsg

QString cannotEnlargeMessage(const QString& fileName, const QString& reason) {
    return QCoreApplication::translate("Enlarge", "Cannot enlarge %1.").arg(fileName) + kCrLf +
           reason;
}

QString reasonText(ConversionOutcome outcome) {
    // The converter's status, said in the user's language; what the converter
    // itself printed follows in English as it was written.
    switch (outcome) {
    case ConversionOutcome::Enlarged:
        break;
    case ConversionOutcome::Damaged:
        return QCoreApplication::translate("Enlarge", "the file is damaged or incomplete");
    case ConversionOutcome::NotAPicture:
        return QCoreApplication::translate("Enlarge", "not a picture format this program reads");
    case ConversionOutcome::TooLarge:
        return QCoreApplication::translate("Enlarge", "the picture or its result is too large");
    case ConversionOutcome::NotWritten:
        return QCoreApplication::translate("Enlarge", "the result could not be written");
    case ConversionOutcome::InternalError:
        return QCoreApplication::translate("Enlarge", "an internal error");
    case ConversionOutcome::NotStarted:
        return QCoreApplication::translate("Enlarge", "the converter could not be started");
    case ConversionOutcome::Stopped:
        return QCoreApplication::translate("Enlarge", "the converter stopped unexpectedly");
    }
    return QString();
}

QString failureLine(const FailedConversion& failure) {
    QString line = QCoreApplication::translate("Enlarge", "%1: %2")
                       .arg(failure.fileName, reasonText(failure.outcome));
    if (!failure.detail.isEmpty()) {
        line = QCoreApplication::translate("Enlarge", "%1 (%2)").arg(line, failure.detail);
    }
    return line;
}

QString doneMessage(const QList<FailedConversion>& failures, int attempted) {
    if (failures.isEmpty()) {
        return enlargemsg::done();
    }
    // The plural follows the files attempted: "3 of 5 files", "3 из 5 файлов".
    QString text = enlargemsg::done() + kCrLf + kCrLf +
                   QCoreApplication::translate(
                       "Enlarge", "%1 of %n file(s) could not be enlarged:", nullptr, attempted)
                       .arg(failures.size());
    for (qsizetype i = 0; i < failures.size() && i < kMaxNamesListed; ++i) {
        text += kCrLf + failureLine(failures.at(i));
    }
    if (failures.size() > kMaxNamesListed) {
        text += kCrLf + QStringLiteral("...");
    }
    return text;
}

} // namespace quorvel
