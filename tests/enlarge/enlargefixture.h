// SPDX-License-Identifier: MIT
#pragma once

#include "enlarge/enlargecontroller.h"
#include "enlarge/zoomchoiceview.h"
#include "fakeconverterenv.h"
#include "imagelist/imagelist.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/windowpointer.h"
#include "recordingbar.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace quorvel::test {

// The window's zoom buttons and boxes as plain values: one zoom is chosen, as
// with the buttons.
struct ZoomChoice : ZoomChoiceView {
    bool isChosen(Zoom zoom) const override { return zoom == chosen; }
    QString outputFolder() const override { return folder; }
    QString customFactor() const override { return factor; }
    void setCustomFactor(const QString& text) override { factor = text; }
    void focusCustomFactor() override {}

    Zoom chosen = Zoom::Times2;
    QString folder;
    QString factor;
};

// Everything a run touches, with the stand-in converter and no real time.
struct EnlargeFixture {
    QTemporaryDir dir;
    ZoomChoice zoom;
    RecordingBar bar;
    ScriptedDialogs dialogs;
    PlainWindowPointer pointer;
    ImageListModel model;
    ImageList list{model};
    FakeConverter fake;
    std::unique_ptr<EnlargeController> controller;
    std::function<void(int)> onPoll;

    EnlargeFixture() {
        qputenv("TEMP", QFile::encodeName(dir.path()));
        QDir(dir.path()).mkpath(QStringLiteral("in"));
        QDir(dir.path()).mkpath(QStringLiteral("out"));
        zoom.folder = out(QString());
        zoom.factor = QStringLiteral("2");
        controller = std::make_unique<EnlargeController>(
            EnlargeController::Controls{&zoom, &bar},
            EnlargeController::Services{dialogs, pointer, list, &FakeConverter::bytes});
        pollEvery(1);
    }

    void pollEvery(int ms) {
        WaitOptions options;
        options.pollIntervalMs = ms;
        options.onPoll = [this](int poll) {
            if (onPoll) {
                onPoll(poll);
            }
        };
        controller->setWaitOptions(options);
    }
    ~EnlargeFixture() { qunsetenv("TEMP"); }

    QString in(const QString& name) const { return dir.filePath(QStringLiteral("in/") + name); }
    QString out(const QString& name) const { return dir.filePath(QStringLiteral("out/") + name); }

    /// A real picture of the given size (tiny files even for wide pictures), in
    /// the format its extension names.
    QString picture(const QString& name, int width = 4, int height = 3) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString path = in(name);
        image.save(path);
        list.append(path);
        return path;
    }

    void run(int messages = 1) {
        for (int i = 0; i < messages; ++i) {
            dialogs.expectMessage();
        }
        controller->startEnlarging();
    }

    QString lastMessage() const { return dialogs.messages().value(dialogs.messages().size() - 1); }
};

} // namespace quorvel::test
