// SPDX-License-Identifier: MIT
#include "conversionoutcome.h"

namespace quorvel {

namespace {
const QString kConverterPrefix = QStringLiteral("nconvert: ");
const QString kAfterSubject = QStringLiteral(": ");
const QString kCut = QStringLiteral("...");
} // namespace

ConversionOutcome outcomeOf(int result, bool crashed) {
    if (crashed) {
        return ConversionOutcome::Stopped;
    }
    if (result < 0) {
        return ConversionOutcome::NotStarted;
    }
    switch (result) {
    case converterstatus::kOk:
        return ConversionOutcome::Enlarged;
    case converterstatus::kBadInput:
        return ConversionOutcome::Damaged;
    case converterstatus::kUnsupported:
        return ConversionOutcome::NotAPicture;
    case converterstatus::kTooLarge:
        return ConversionOutcome::TooLarge;
    case converterstatus::kCannotWrite:
        return ConversionOutcome::NotWritten;
    default:
        return ConversionOutcome::InternalError;
    }
}

QString converterDetail(const QString& errorLine, const QStringList& subjects) {
    QString detail = errorLine.trimmed();
    if (detail.startsWith(kConverterPrefix)) {
        detail.remove(0, kConverterPrefix.size());
        // A path may itself hold ": ", so the paths the converter was given are tried first.
        qsizetype subjectEnd = -1;
        for (const QString& subject : subjects) {
            if (!subject.isEmpty() && detail.startsWith(subject + kAfterSubject)) {
                subjectEnd = subject.size() + kAfterSubject.size();
                break;
            }
        }
        if (subjectEnd < 0) {
            const qsizetype colon = detail.indexOf(kAfterSubject);
            subjectEnd = colon < 0 ? 0 : colon + kAfterSubject.size();
        }
        detail.remove(0, subjectEnd);
    }
    if (detail.size() > kMaxDetailLength) {
        qsizetype keep = kMaxDetailLength - kCut.size();
        // Never half a character.
        if (detail.at(keep - 1).isHighSurrogate()) {
            --keep;
        }
        detail = detail.left(keep) + kCut;
    }
    return detail;
}

} // namespace quorvel
