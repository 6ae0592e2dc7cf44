// SPDX-License-Identifier: MIT
#pragma once

#include "apperror.h"

#include <QString>
#include <functional>

namespace quorvel {

class Dialogs;

/// The title of the "Application Error" box, in the user's language.
QString applicationErrorTitle();

/// "in " + project tag + "." + module + "." + procedure + " ".
QString locationText(const QString& projectTag, const QString& module, const QString& procedure);
/// The location of one of the window's handlers ("in Vantrel2021/08/31.Form1.<procedure> ").
QString formLocation(const QString& procedure);

/// The exact text of the "Application Error" box.
QString applicationErrorMessage(const QString& description, const QString& location, int line);

/// Converts anything a step may throw into the error the user is shown.
AppError toAppError(std::exception_ptr error);

/// The line a handler without numbered steps reports.
inline constexpr int kUnnumberedLine = 0;

/// Shows the "Application Error" box for an error that reached the outermost
/// level at `location`. Nothing leaves it, not even a failure of the box itself:
/// it is the last thing that runs before control returns to the message loop.
void reportUnhandled(Dialogs& dialogs, const QString& location, std::exception_ptr error) noexcept;

/// Runs one of the window's handlers that arms no trap of its own (`handler`
/// is its name, such as "Option3_Click"). An error ends the handler and shows
/// the box naming it at line 0; the program goes on. Without this the error
/// would cross Qt's event delivery, which ends the program. A handler raised
/// inside `changeFromCode` shows nothing: its error goes to the code that made
/// the change.
void runUntrappedHandler(Dialogs& dialogs, const QString& handler,
                         const std::function<void()>& body) noexcept;

/// Runs `change`, code that sets a control and so raises the control's handler
/// as a user's action would (a text set, an option turned on). An error that
/// ends such a handler belongs to the code that made the change, so that its
/// trap names its own procedure and step: the error is raised again here once
/// `change` has returned, never through the signal delivery that ran the
/// handler. After the first such error, further handlers the change raises do
/// not run: the change is abandoned as a whole.
void changeFromCode(const std::function<void()>& change);

/// Runs a procedure's numbered steps. A step that raises shows the
/// "Application Error" box with its number, and the procedure goes on with the
/// next step; a test that raises lets the step it guards run, as if it had passed.
class ErrorTrap {
public:
    /// Decides about an error before the box: return true to consume it and end
    /// the procedure (no box, no further step).
    using Interceptor = std::function<bool(const AppError&)>;

    ErrorTrap(Dialogs& dialogs, QString location);

    /// Runs one step; true when it completed, false when it raised or the
    /// procedure has ended.
    bool step(int line, const std::function<void()>& body);

    /// Evaluates a condition; a condition that raises counts as passed.
    bool test(int line, const std::function<bool()>& condition);

    /// Shows the box for an error caught outside `step`, as if raised at `line`.
    void report(int line, const AppError& error);

    void setInterceptor(Interceptor interceptor) { m_interceptor = std::move(interceptor); }
    bool ended() const { return m_ended; }
    int errorCount() const { return m_errors; }
    int lastLine() const { return m_line; }

private:
    bool handle(std::exception_ptr error);

    Dialogs& m_dialogs;
    QString m_location;
    Interceptor m_interceptor;
    int m_line = 0;
    int m_errors = 0;
    bool m_ended = false;
};

} // namespace quorvel
