// SPDX-License-Identifier: MIT
#pragma once

#include "convertercommand.h"

#include <functional>
#include <optional>

namespace quorvel {

class ProgressBarView;

/// What `RunAndWait` returns for a program that is still running when the wait
/// was given up.
inline constexpr int kStillActive = 259;
/// Added to an error number when the program cannot be started at all.
inline constexpr int kObjectErrorBase = -2147221504;

/// How the wait paces itself. Tests shorten the poll and watch each one.
struct WaitOptions {
    /// The longest a single poll waits; the wait ends sooner when the process does.
    int pollIntervalMs = 100;
    /// Called after every poll with the poll counter.
    std::function<void(int poll)> onPoll;
    /// Asked after every poll; true leaves the process running and returns at once.
    std::function<bool()> abandon;
};

/// The most of a program's error output a wait keeps, in bytes: room for a
/// reason and the two longest paths. The rest is read and dropped.
inline constexpr qsizetype kMaxErrorOutput = 16384;

/// What a wait learnt besides the exit code.
struct RunReport {
    /// A signal ended the program.
    bool crashed = false;
    /// The first line of the program's error output (of at most kMaxErrorOutput
    /// bytes); empty when it wrote none.
    QString errorLine;
};

/// The window style a start uses: 6 when none is given or the value is outside 0..6.
int effectiveWindowStyle(std::optional<int> windowStyle);

/// The bar's creep while one long conversion runs: how far it moves every 150
/// polls, and the value it never passes.
struct Creep {
    int step = 0;
    int ceiling = 0;
};
Creep creepFor(int fileCount, int startValue);

/// The bar text of a long wait at `poll` (50 and later).
QString waitingText(const QString& barText, int poll);

/// Starts `command` and waits for its process to end while the window keeps
/// running. With a bar, from the 50th poll on the bar says how long it has been
/// waiting and its value creeps towards the end of this file's share; at the end
/// the bar's text is `barText` again ("Progress Bar" when that is empty).
/// Returns the exit code (non-zero for a crash), or an error number plus
/// kObjectErrorBase when the program cannot be started (the bar is then left as it was).
/// With `report`, the program's error output is read as it comes, without ever
/// making the program wait, and its first line is kept there.
int RunAndWait(const ConverterCommand& command, std::optional<int> windowStyle,
               ProgressBarView* bar, const QString& barText, int startValue, int fileCount,
               const WaitOptions& options = {}, RunReport* report = nullptr);

} // namespace quorvel
