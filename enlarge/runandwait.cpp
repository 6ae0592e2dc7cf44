// SPDX-License-Identifier: MIT
#include "runandwait.h"

#include "converterdeployment.h"
#include "platform/apperror.h"
#include "platform/paths.h"
#include "platform/yield.h"
#include "progressbarview.h"
#include "rounding.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace quorvel {

namespace {

constexpr int kDefaultWindowStyle = 6;
constexpr int kWaitingTextFromPoll = 50;
constexpr int kPollsPerCreep = 150;

int startFailureNumber(const QString& program) {
    if (!PathExists(program)) {
        return errnum::kFileNotFound;
    }
    if (IsFolder(program)) {
        return errnum::kPathFileAccess;
    }
    return errnum::kPermissionDenied;
}

#ifdef Q_OS_WIN
void applyWindowStyle(QProcess& process, int style) {
    process.setCreateProcessArgumentsModifier([style](QProcess::CreateProcessArguments* args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = WORD(style);
    });
}
#else
void applyWindowStyle(QProcess&, int) {
    // A console program has no window to show on this platform.
}
#endif

// Writes to the bar may fail; the wait must still last as long as the process.
void showWaiting(ProgressBarView& bar, const QString& barText, int poll, int startValue,
                 int fileCount) {
    try {
        yieldToEventLoop();
        bar.setText(waitingText(barText, poll));
        const int sinceStart = poll - kWaitingTextFromPoll;
        if (sinceStart % kPollsPerCreep == 0 && fileCount > 0) {
            const Creep creep = creepFor(fileCount, startValue);
            const double v = double(sinceStart) / kPollsPerCreep * creep.step + startValue;
            bar.setValue(v < creep.ceiling ? v : creep.ceiling);
        }
        yieldToEventLoop();
    } catch (...) {
    }
}

int exitCodeOf(const QProcess& process) {
    if (process.exitStatus() == QProcess::CrashExit) {
        // Ended by a signal: report it the way a shell does, never as success.
        return 128 + std::max(process.exitCode(), 1);
    }
    return process.exitCode();
}

// Stops a process object from being destroyed (which would kill the process)
// when the wait is given up; it cleans up after itself once the process ends.
void leaveRunning(std::unique_ptr<QProcess> process) {
    QProcess* running = process.release();
    running->setParent(QCoreApplication::instance());
    QObject::connect(running, &QProcess::readyReadStandardError, running,
                     [running] { running->readAllStandardError(); });
    QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
}

// Keeps the first line of a program's error output, at most kMaxErrorOutput
// bytes of it. Everything is read as it comes and the rest dropped, so a
// program that writes much never waits on a full pipe nor fills memory.
class ErrorLineReader {
public:
    void take(QProcess& process) {
        const QByteArray chunk = process.readAllStandardError();
        if (m_complete) {
            return;
        }
        qsizetype end = chunk.indexOf('\n');
        if (end < 0) {
            end = chunk.size();
        } else {
            m_complete = true;
        }
        const qsizetype room = kMaxErrorOutput - m_line.size();
        m_line.append(chunk.constData(), std::min(end, room));
        m_complete = m_complete || m_line.size() >= kMaxErrorOutput;
    }

    QString line() const {
        QString text = QString::fromLocal8Bit(m_line);
        if (text.endsWith(QLatin1Char('\r'))) {
            text.chop(1);
        }
        return text;
    }

private:
    QByteArray m_line;
    bool m_complete = false;
};

#ifdef Q_OS_UNIX
// A program left running when the window ends would be killed by its error
// line on the closed pipe, before it had tidied up; it is left to finish.
void ignoreClosedPipe(QProcess& process) {
    process.setChildProcessModifier([] {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, nullptr);
    });
}
#else
void ignoreClosedPipe(QProcess&) {
    // No such signal here.
}
#endif

} // namespace

int effectiveWindowStyle(std::optional<int> windowStyle) {
    if (!windowStyle || *windowStyle < 0 || *windowStyle > 6) {
        return kDefaultWindowStyle;
    }
    return *windowStyle;
}

Creep creepFor(int fileCount, int startValue) {
    Creep creep;
    creep.step = int(roundHalfEven(100.0 / fileCount / 10.0));
    creep.ceiling = int(roundHalfEven(100.0 / fileCount + startValue - creep.step));
    return creep;
}

QString waitingText(const QString& barText, int poll) {
    QString text = barText;
    if (!text.isEmpty()) {
        text += QStringLiteral(", ");
    }
    return text + QCoreApplication::translate("Enlarge", "Please wait.. %1")
                      .arg(poll - kWaitingTextFromPoll);
}

int RunAndWait(const ConverterCommand& command, std::optional<int> windowStyle,
               ProgressBarView* bar, const QString& barText, int startValue, int fileCount,
               const WaitOptions& options, RunReport* report) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(command.program);
    process->setArguments(command.arguments);
    process->setProcessEnvironment(converterEnvironment());
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    QEventLoop sleeper;
    ErrorLineReader errors;
    if (report) {
        QProcess* reading = process.get();
        QObject::connect(reading, &QProcess::readyReadStandardError, &sleeper,
                         [&errors, reading] { errors.take(*reading); });
        ignoreClosedPipe(*process);
    } else {
        process->setStandardErrorFile(QProcess::nullDevice());
    }
    applyWindowStyle(*process, effectiveWindowStyle(windowStyle));
    process->start();
    if (!process->waitForStarted(-1)) {
        return startFailureNumber(command.program) + kObjectErrorBase;
    }

    QTimer interval;
    interval.setSingleShot(true);
    QObject::connect(&interval, &QTimer::timeout, &sleeper, &QEventLoop::quit);
    QObject::connect(process.get(), &QProcess::finished, &sleeper, &QEventLoop::quit);

    int poll = 0;
    bool running = true;
    bool givenUp = false;
    while (running) {
        yieldToEventLoop();
        // One poll is one interval of waiting, cut short the moment the process ends.
        if (process->state() != QProcess::NotRunning) {
            interval.start(options.pollIntervalMs);
            sleeper.exec();
            interval.stop();
        }
        running = process->state() != QProcess::NotRunning;
        ++poll;
        if (bar) {
            yieldToEventLoop();
            if (poll >= kWaitingTextFromPoll) {
                showWaiting(*bar, barText, poll, startValue, fileCount);
            }
            yieldToEventLoop();
        }
        yieldToEventLoop();
        if (options.onPoll) {
            options.onPoll(poll);
        }
        if (options.abandon && options.abandon()) {
            if (process->state() != QProcess::NotRunning) {
                leaveRunning(std::move(process));
                return kStillActive;
            }
            givenUp = true;
            break;
        }
    }

    if (report) {
        errors.take(*process);
        report->crashed = process->exitStatus() == QProcess::CrashExit;
        report->errorLine = errors.line();
    }
    if (givenUp) {
        // Given up just as the program ended: the bar is no longer this wait's.
        return exitCodeOf(*process);
    }
    if (bar) {
        bar->setText(barText.isEmpty() ? progressBarIdleText() : barText);
    }
    return exitCodeOf(*process);
}

} // namespace quorvel
