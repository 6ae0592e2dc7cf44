// SPDX-License-Identifier: MIT
#pragma once

#include "conversionoutcome.h"
#include "runandwait.h"
#include "zoomchoiceview.h"

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

namespace quorvel {

class Dialogs;
class ErrorTrap;
class ImageList;
class OutputGuard;
class ProgressBarView;
class WindowPointer;

/// "Start Enlarging": writes an enlarged copy of every listed image into the
/// output folder, one converter run per file, while the window stays responsive.
class EnlargeController : public QObject {
    Q_OBJECT
public:
    /// Idle until a click starts a run; Closing once the window closes during a
    /// run, for good: the program is ending.
    enum class State { Idle, Running, Closing };
    Q_ENUM(State)

    struct Controls {
        ZoomChoiceView* zoom;
        ProgressBarView* progressBar;
    };
    struct Services {
        Dialogs& dialogs;
        WindowPointer& pointer;
        ImageList& list;
        /// The converter program's bytes, written out at the start of every run.
        std::function<QByteArray()> converterBytes;
    };

    EnlargeController(Controls controls, Services services, QObject* parent = nullptr);
    ~EnlargeController() override;

    /// The click of "Start Enlarging". Returns when the run is over; a click
    /// while a run is under way does nothing.
    void startEnlarging();

    /// The window is closing: a run under way stops before its next step, the
    /// converter it started is left to finish, and the deployed converter goes.
    void windowClosing();

    State state() const { return m_state; }
    bool runInProgress() const { return m_state != State::Idle; }
    /// Tests shorten the poll interval and watch the waits.
    void setWaitOptions(WaitOptions options) { m_waitOptions = std::move(options); }

signals:
    void stateChanged(EnlargeController::State state);

private:
    void setState(State state);
    /// Asked after everything that yields: a closing window ends the run there.
    bool closing() const { return m_state == State::Closing; }
    void runFiles(ErrorTrap& trap);
    int zoomPercentage(ErrorTrap& trap);
    void convertOne(ErrorTrap& trap, int i, int zoom, QString& source, OutputGuard& guard);
    void removeDeployedConverter();
    void showMessage(const QString& text);

    Controls m_controls;
    Services m_services;
    WaitOptions m_waitOptions;
    State m_state = State::Idle;
    bool m_converterReady = false;
    QString m_converterPath;
    /// The files the converter did not enlarge in this run, with why.
    QList<FailedConversion> m_failures;
    int m_attempted = 0;
};

/// The pixel size a picture file declares in its header; raises "Invalid
/// picture" when it cannot be read.
QSize pictureSize(const QString& path);

} // namespace quorvel
