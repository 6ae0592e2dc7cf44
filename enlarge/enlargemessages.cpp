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

QString reasonText(ConversionOutcome outcome) {
    switch (outcome) {
    case ConversionOutcome::Enlarged:
        break;
    case ConversionOutcome::Damaged:
        return enlargemsg::kReasonDamaged;
    case ConversionOutcome::NotAPicture:
        return enlargemsg::kReasonNotAPicture;
    case ConversionOutcome::TooLarge:
        return enlargemsg::kReasonTooLarge;
    case ConversionOutcome::NotWritten:
        return enlargemsg::kReasonNotWritten;
    case ConversionOutcome::InternalError:
        return enlargemsg::kReasonInternalError;
    case ConversionOutcome::NotStarted:
        return enlargemsg::kReasonNotStarted;
    case ConversionOutcome::Stopped:
        return enlargemsg::kReasonStopped;
    }
    return QString();
}

QString failureLine(const FailedConversion& failure) {
    QString line = failure.fileName + QStringLiteral(": ") + reasonText(failure.outcome);
    if (!failure.detail.isEmpty()) {
        line += QStringLiteral(" (") + failure.detail + QLatin1Char(')');
    }
    return line;
}

QString doneMessage(const QList<FailedConversion>& failures, int attempted) {
    if (failures.isEmpty()) {
        return enlargemsg::kDone;
    }
    QString text = enlargemsg::kDone + kCrLf + kCrLf + QString::number(failures.size()) +
                   QStringLiteral(" of ") + QString::number(attempted) +
                   QStringLiteral(" file(s) could not be enlarged:");
    for (qsizetype i = 0; i < failures.size() && i < kMaxNamesListed; ++i) {
        text += kCrLf + failureLine(failures.at(i));
    }
    if (failures.size() > kMaxNamesListed) {
        text += kCrLf + QStringLiteral("...");
    }
    return text;
}

} // namespace quorvel
