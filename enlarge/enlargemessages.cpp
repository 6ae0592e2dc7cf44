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

QString doneMessage(const QStringList& failedNames, int attempted) {
    if (failedNames.isEmpty()) {
        return enlargemsg::done();
    }
    // The plural follows the files attempted: "3 of 5 files", "3 из 5 файлов".
    QString text = enlargemsg::done() + kCrLf + kCrLf +
                   QCoreApplication::translate(
                       "Enlarge", "%1 of %n file(s) could not be enlarged:", nullptr, attempted)
                       .arg(failedNames.size());
    for (qsizetype i = 0; i < failedNames.size() && i < kMaxNamesListed; ++i) {
        text += kCrLf + failedNames.at(i);
    }
    if (failedNames.size() > kMaxNamesListed) {
        text += kCrLf + QStringLiteral("...");
    }
    return text;
}

} // namespace quorvel
