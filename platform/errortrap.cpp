// SPDX-License-Identifier: MIT
#include "errortrap.h"

#include "appinfo.h"
#include "dialogs.h"

#include <QCoreApplication>
#include <filesystem>
#include <new>
#include <system_error>

namespace quorvel {

QString locationText(const QString& projectTag, const QString& module, const QString& procedure) {
    return QStringLiteral("in ") + projectTag + QLatin1Char('.') + module + QLatin1Char('.') +
           procedure + QLatin1Char(' ');
}

QString formLocation(const QString& procedure) {
    return locationText(QStringLiteral("Vantrel2021/08/31"), QStringLiteral("Form1"), procedure);
}

QString applicationErrorTitle() {
    return QCoreApplication::translate("ErrorBox", "Application Error");
}

QString applicationErrorMessage(const QString& description, const QString& location, int line) {
    // The place in the program stays English in every language, so that any
    // user's screenshot leads to the same handler and step.
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QCoreApplication::translate("ErrorBox", "Please email screenshot of this message to %1")
               .arg(appinfo::kSupportAddress);
}

AppError toAppError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const AppError& e) {
        return e;
    } catch (const std::system_error& e) {
        if (e.code().category() == std::generic_category() ||
            e.code().category() == std::system_category()) {
            return AppError::fromErrno(e.code().value());
        }
        return AppError(errnum::kPathFileAccess, QString::fromLocal8Bit(e.what()));
    } catch (const std::bad_alloc&) {
        return AppError(7, QCoreApplication::translate("ErrorBox", "Out of memory"));
    } catch (const std::exception& e) {
        return AppError(5, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return AppError::fromNumber(-1);
    }
}

void reportUnhandled(Dialogs& dialogs, const QString& location, std::exception_ptr error) noexcept {
    try {
        ErrorTrap(dialogs, location).report(kUnnumberedLine, toAppError(error));
    } catch (...) {
        // The box itself failed; there is nobody left to tell.
    }
}

namespace {
// The innermost change from code under way; the handlers it raises hand their
// errors to it. Handlers run on the user-interface thread only.
struct CodeChange {
    std::exception_ptr error;
    CodeChange* outer = nullptr;
};
thread_local CodeChange* t_codeChange = nullptr;

class CodeChangeScope {
public:
    CodeChangeScope() : m_change{nullptr, t_codeChange} { t_codeChange = &m_change; }
    ~CodeChangeScope() { t_codeChange = m_change.outer; }
    CodeChangeScope(const CodeChangeScope&) = delete;
    CodeChangeScope& operator=(const CodeChangeScope&) = delete;
    std::exception_ptr error() const { return m_change.error; }

private:
    CodeChange m_change;
};
} // namespace

void changeFromCode(const std::function<void()>& change) {
    std::exception_ptr error;
    {
        CodeChangeScope scope;
        try {
            change();
        } catch (...) {
            // A handler's error came first: the change went wrong from there on.
            error = scope.error() ? scope.error() : std::current_exception();
        }
        if (!error) {
            error = scope.error();
        }
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

void runUntrappedHandler(Dialogs& dialogs, const QString& handler,
                         const std::function<void()>& body) noexcept {
    if (CodeChange* change = t_codeChange) {
        if (change->error) {
            return;
        }
        try {
            body();
        } catch (...) {
            change->error = std::current_exception();
        }
        return;
    }
    try {
        body();
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        try {
            reportUnhandled(dialogs, formLocation(handler), error);
        } catch (...) {
            // Not even the location could be built: nothing more can be shown.
        }
    }
}

ErrorTrap::ErrorTrap(Dialogs& dialogs, QString location)
    : m_dialogs(dialogs), m_location(std::move(location)) {}

bool ErrorTrap::step(int line, const std::function<void()>& body) {
    if (m_ended) {
        return false;
    }
    m_line = line;
    try {
        body();
        return true;
    } catch (...) {
        handle(std::current_exception());
        return false;
    }
}

bool ErrorTrap::test(int line, const std::function<bool()>& condition) {
    if (m_ended) {
        return false;
    }
    m_line = line;
    try {
        return condition();
    } catch (...) {
        // A failed test resumes with the step it guards.
        return handle(std::current_exception());
    }
}

void ErrorTrap::report(int line, const AppError& error) {
    m_line = line;
    handle(std::make_exception_ptr(error));
}

bool ErrorTrap::handle(std::exception_ptr error) {
    const AppError appError = toAppError(error);
    ++m_errors;
    if (m_interceptor && m_interceptor(appError)) {
        m_ended = true;
        return false;
    }
    m_dialogs.messageBox(applicationErrorMessage(appError.description(), m_location, m_line),
                         msgstyle::kExclamation, applicationErrorTitle());
    return true;
}

} // namespace quorvel
