// SPDX-License-Identifier: MIT
#include "enlargecontroller.h"

#include "avifheader.h"
#include "converterdeployment.h"
#include "enlargemessages.h"
#include "fileoperations.h"
#include "imagelist/imagelist.h"
#include "outputguard.h"
#include "pathparts.h"
#include "platform/appinfo.h"
#include "platform/dialogs.h"
#include "platform/errortrap.h"
#include "platform/paths.h"
#include "platform/windowpointer.h"
#include "platform/yield.h"
#include "progressbarview.h"
#include "rounding.h"
#include "zoomfactor.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

namespace quorvel {

namespace {
constexpr double kMaxResultSide = 15000;
constexpr int kHiddenWindow = 0;
constexpr int kDivisionByZero = 11;
} // namespace

QSize pictureSize(const QString& path) {
    QImageReader reader(path);
    // The converter goes by the content too, whatever the extension says.
    reader.setDecideFormatFromContent(true);
    QSize size = reader.size();
    if (!size.isValid()) {
        // Qt reads no AVIF header; the file's own boxes state its size.
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            size = avifPictureSize(file).value_or(QSize());
        }
    }
    if (!size.isValid()) {
        throw AppError::fromNumber(errnum::kInvalidPicture);
    }
    return size;
}

EnlargeController::EnlargeController(Controls controls, Services services, QObject* parent)
    : QObject(parent), m_controls(controls), m_services(std::move(services)) {}

EnlargeController::~EnlargeController() = default;

void EnlargeController::setState(State state) {
    if (m_state != state) {
        m_state = state;
        emit stateChanged(state);
    }
}

void EnlargeController::startEnlarging() {
    if (m_state != State::Idle) {
        return;
    }
    setState(State::Running);
    m_failures.clear();
    m_attempted = 0;
    m_converterReady = false;
    m_converterPath.clear();

    ErrorTrap trap(m_services.dialogs, formLocation(QStringLiteral("PushButton2_Click")));
    if (trap.test(104, [&] { return m_services.list.count() == 0; })) {
        trap.step(174, [&] { showMessage(enlargemsg::noFiles()); });
    } else if (trap.test(106, [&] { return !IsFolder(m_controls.zoom->outputFolder()); })) {
        trap.step(172, [&] { showMessage(enlargemsg::noFolder()); });
    } else {
        runFiles(trap);
    }
    if (closing()) {
        // The program is ending; whatever the run had put in place goes with it.
        removeDeployedConverter();
        return;
    }
    trap.step(176, [&] { setState(State::Idle); });
}

void EnlargeController::windowClosing() {
    if (m_state == State::Idle) {
        return;
    }
    setState(State::Closing);
    // No yield here: the program ends as soon as this returns.
    removeDeployedConverter();
}

void EnlargeController::removeDeployedConverter() {
    if (m_converterPath.isEmpty()) {
        return;
    }
    try {
        ForceDeleteFile(m_converterPath);
    } catch (const AppError&) {
        // Already gone, or never written.
    }
}

void EnlargeController::showMessage(const QString& text) {
    m_services.dialogs.messageBox(text, msgstyle::kOkOnly, appinfo::kApplicationTitle);
}

void EnlargeController::runFiles(ErrorTrap& trap) {
    WindowPointer& pointer = m_services.pointer;
    ProgressBarView& bar = *m_controls.progressBar;

    trap.step(108, [&] { pointer.setMousePointer(pointer::kHourglass); });
    QByteArray converter;
    trap.step(110, [&] { converter = m_services.converterBytes(); });
    m_converterReady = trap.step(112, [&] {
        m_converterPath = ConverterPath();
        DeployConverter(converter);
    });
    if (closing()) {
        return;
    }
    trap.step(114, [&] { m_converterPath = ConverterPath(); });
    const int zoom = zoomPercentage(trap);

    int n = 0;
    trap.step(132, [&] { n = m_services.list.count(); });
    OutputGuard guard;
    QString source;
    for (int i = 1; i <= n; ++i) {
        convertOne(trap, i, zoom, source, guard);
        if (closing()) {
            return;
        }
    }

    trap.step(162, [&] { DeleteFileIfPresent(ConverterPath()); });
    if (closing()) {
        return;
    }
    trap.step(164, [&] { pointer.setMousePointer(pointer::kDefault); });
    trap.step(166, [&] { bar.setValue(0); });
    trap.step(168, [&] { bar.setText(progressBarIdleText()); });
    trap.step(170, [&] { showMessage(doneMessage(m_failures, m_attempted)); });
}

int EnlargeController::zoomPercentage(ErrorTrap& trap) {
    int zoom = 0;
    if (trap.test(116, [&] { return m_controls.zoom->isChosen(ZoomChoiceView::Zoom::Times2); })) {
        trap.step(118, [&] { zoom = 200; });
    } else if (trap.test(120,
                         [&] { return m_controls.zoom->isChosen(ZoomChoiceView::Zoom::Times3); })) {
        trap.step(122, [&] { zoom = 300; });
    } else if (trap.test(124,
                         [&] { return m_controls.zoom->isChosen(ZoomChoiceView::Zoom::Times4); })) {
        trap.step(126, [&] { zoom = 400; });
    } else if (trap.test(128,
                         [&] { return m_controls.zoom->isChosen(ZoomChoiceView::Zoom::Custom); })) {
        trap.step(130, [&] { zoom = customZoomPercentage(m_controls.zoom->customFactor()); });
    }
    return zoom;
}

void EnlargeController::convertOne(ErrorTrap& trap, int i, int zoom, QString& source,
                                   OutputGuard& guard) {
    ProgressBarView& bar = *m_controls.progressBar;

    trap.step(134, [&] { m_services.pointer.setMousePointer(pointer::kHourglass); });
    trap.step(136, [&] {
        const int rows = m_services.list.count();
        if (rows == 0) {
            throw AppError(kDivisionByZero,
                           QCoreApplication::translate("ErrorBox", "Division by zero"));
        }
        bar.setValue(double(i) / rows * 100);
    });
    // A row that cannot be read leaves the previous file's path in `source`.
    trap.step(138, [&] { source = m_services.list.text(i); });
    trap.step(140, [&] { bar.setText(enlargemsg::processing(FileNameOf(source))); });
    trap.step(142, [] { yieldToEventLoop(); });
    if (closing()) {
        return;
    }

    // A picture whose size is unknown could be of any size: it is not converted.
    QSize size;
    if (!trap.step(146, [&] { size = pictureSize(source); })) {
        return;
    }
    const bool fits = trap.test(148, [&] {
        const double scale = zoom / 100.0;
        return double(float(size.width())) * scale <= kMaxResultSide &&
               double(float(size.height())) * scale <= kMaxResultSide;
    });
    if (!fits) {
        trap.step(158, [&] {
            showMessage(cannotEnlargeMessage(FileNameOf(source), enlargemsg::tooLarge()));
        });
        return;
    }

    QString output;
    OutputGuard::Verdict verdict = OutputGuard::Verdict::Clear;
    trap.step(150, [&] {
        output = outputPathFor(m_controls.zoom->outputFolder(), FileNameOf(source));
        verdict = guard.check(source, output);
    });
    if (verdict != OutputGuard::Verdict::Clear) {
        const QString reason = verdict == OutputGuard::Verdict::WouldReplaceSource
                                   ? enlargemsg::wouldReplaceSource()
                                   : enlargemsg::alreadyEnlarged();
        trap.step(158, [&] { showMessage(cannotEnlargeMessage(FileNameOf(source), reason)); });
        return;
    }
    trap.step(152, [&] { DeleteFileIfPresent(output); });
    if (closing()) {
        return;
    }
    ConverterCommand command;
    trap.step(154, [&] { command = enlargeCommand(m_converterPath, zoom, output, source); });

    ++m_attempted;
    int result = kStillActive;
    RunReport report;
    const bool ran = trap.step(156, [&] {
        const QString text = bar.text();
        const int value = int(roundHalfEven(bar.value()));
        const int rows = m_services.list.count();
        if (!m_converterReady) {
            // The converter could not be put in place: whatever is at its path
            // now is not ours, so it is not started.
            result = errnum::kFileNotFound + kObjectErrorBase;
            return;
        }
        WaitOptions options = m_waitOptions;
        options.abandon = [this, outer = m_waitOptions.abandon] {
            return closing() || (outer && outer());
        };
        result = RunAndWait(command, kHiddenWindow, &bar, text, value, rows, options, &report);
    });
    if (closing()) {
        return;
    }
    if (!ran) {
        // The box has told of it; what became of the file is not known.
        m_failures.append({FileNameOf(source), ConversionOutcome::InternalError, QString()});
        return;
    }
    const ConversionOutcome outcome = outcomeOf(result, report.crashed);
    if (outcome == ConversionOutcome::Enlarged) {
        guard.recordWritten(source, output);
    } else {
        m_failures.append(
            {FileNameOf(source), outcome, converterDetail(report.errorLine, {source, output})});
    }
}

} // namespace quorvel
