// SPDX-License-Identifier: MIT
#include "enlargemessages.h"

namespace quorvel {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
constexpr qsizetype kMaxNamesListed = 10;
} // namespace

QString cannotEnlargeMessage(const QString& fileName, const QString& reason) {
    return QStringLiteral("Cannot enlarge ") + fileName + QLatin1Char('.') + kCrLf + reason;
}

QString doneMessage(const QStringList& failedNames, int attempted) {
    if (failedNames.isEmpty()) {
        return enlargemsg::kDone;
    }
    QString text = enlargemsg::kDone + kCrLf + kCrLf + QString::number(failedNames.size()) +
                   QStringLiteral(" of ") + QString::number(attempted) +
                   QStringLiteral(" file(s) could not be enlarged:");
    for (qsizetype i = 0; i < failedNames.size() && i < kMaxNamesListed; ++i) {
        text += kCrLf + failedNames.at(i);
    }
    if (failedNames.size() > kMaxNamesListed) {
        text += kCrLf + QStringLiteral("...");
    }
    return text;
}

} // namespace quorvel
