// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

/// How one conversion ended, as the summary at the end of a run tells it.
enum class ConversionOutcome {
    Enlarged,
    Damaged,
    NotAPicture,
    TooLarge,
    NotWritten,
    InternalError,
    NotStarted,
    Stopped,
};

/// The exit statuses the converter documents for its failures.
namespace converterstatus {
inline constexpr int kOk = 0;
inline constexpr int kBadInput = 3;
inline constexpr int kUnsupported = 4;
inline constexpr int kTooLarge = 5;
inline constexpr int kCannotWrite = 6;
inline constexpr int kInternal = 7;
} // namespace converterstatus

/// The outcome of a converter run that ended with `result` (its exit status, or
/// below zero a start that failed) or, `crashed`, by a signal. A status the
/// converter does not document for a file (a refused command line among them)
/// is the window's own fault: an internal error.
ConversionOutcome outcomeOf(int result, bool crashed);

/// The most of the converter's detail a summary shows, in characters.
inline constexpr qsizetype kMaxDetailLength = 200;

/// The converter's own words on a failure: its error line without the
/// "nconvert: PATH: " that starts it, PATH being what it failed on (one of
/// `subjects`, the source and the output, when it names one of them), and cut
/// to kMaxDetailLength characters. Empty when it said nothing.
QString converterDetail(const QString& errorLine, const QStringList& subjects);

/// One file a run did not enlarge: its name, why, and the converter's detail.
struct FailedConversion {
    QString fileName;
    ConversionOutcome outcome = ConversionOutcome::InternalError;
    QString detail;
};

} // namespace quorvel
