// SPDX-License-Identifier: MIT
#include "enlarge/converterdeployment.h"
#include "enlarge/enlargecontroller.h"
#include "enlargefixture.h"
#include "platform/appinfo.h"
#include "platform/errortrap.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace quorvel;
using Fixture = quorvel::test::EnlargeFixture;

namespace {

QString appError(const QString& description, int line) {
    return applicationErrorMessage(description, formLocation(QStringLiteral("PushButton2_Click")),
                                   line);
}

QString tooLarge(const QString& name) {
    return QStringLiteral("Cannot enlarge ") + name +
           QStringLiteral(".\r\nMaximum dimension of result file must be 15,000 pixels or less.");
}

} // namespace

class EnlargeControllerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void emptyListChangesNothing() {
        Fixture f;
        f.pointer.setMousePointer(pointer::kCustom);
        f.run();
        QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("No files added.")});
        QCOMPARE(f.dialogs.shown().first().title, appinfo::kApplicationTitle);
        QCOMPARE(f.dialogs.shown().first().style, 0);
        QCOMPARE(f.pointer.mousePointer(), pointer::kCustom);
        QVERIFY(f.bar.values.isEmpty() && f.bar.texts.isEmpty());
        QVERIFY(!QFileInfo::exists(ConverterPath()));
        QVERIFY(!f.controller->runInProgress());
        f.run(); // a second run can start at once
        QCOMPARE(f.dialogs.messages().size(), 2);
    }

    void outputFolderMustExist_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("a file") << "in/a.png";
        QTest::newRow("missing") << "nowhere/";
        QTest::newRow("empty") << "";
    }
    void outputFolderMustExist() {
        QFETCH(QString, folder);
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        f.zoom.folder = folder.isEmpty() ? folder : f.dir.filePath(folder);
        f.run();
        QCOMPARE(f.lastMessage(),
                 QStringLiteral("Folder does not exist. Please select another folder."));
        QVERIFY(f.fake.calls().isEmpty());
        QVERIFY(!QFileInfo::exists(ConverterPath()));
        QCOMPARE(f.pointer.mousePointer(), pointer::kDefault);
    }

    void fourRowsShowTheirShareThenIdle() {
        Fixture f;
        // A conversion still running after 50 polls starts the bar's creep, which would add
        // values of its own; 50 polls of 10 ms is far more than a loaded machine needs.
        f.pollEvery(10);
        for (const char* name : {"a.png", "b.png", "c.png", "d.png"}) {
            f.picture(QString::fromLatin1(name));
        }
        QList<int> pointerDuringRun;
        f.onPoll = [&](int) { pointerDuringRun.append(f.pointer.mousePointer()); };
        f.run();
        QCOMPARE(f.lastMessage(), QStringLiteral("Done."));
        QCOMPARE(f.bar.values, (QList<double>{25, 50, 75, 100, 0}));
        QCOMPARE(f.bar.texts.first(), QStringLiteral("Processing: a.png"));
        QCOMPARE(f.bar.text(), QStringLiteral("Progress Bar"));
        QCOMPARE(f.fake.calls().size(), 4);
        QVERIFY(!pointerDuringRun.isEmpty());
        QVERIFY(!pointerDuringRun.contains(pointer::kDefault));
        QCOMPARE(f.pointer.mousePointer(), pointer::kDefault);
        for (const char* name : {"a.png", "b.png", "c.png", "d.png"}) {
            QVERIFY(QFileInfo::exists(f.out(QString::fromLatin1(name))));
        }
        QVERIFY(!QFileInfo::exists(ConverterPath()));
        QVERIFY(!f.controller->runInProgress());
    }

    void zoomComesFromTheOptions_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("percent");
        QTest::newRow("2x") << 1 << "7"
                            << "200%";
        QTest::newRow("3x") << 2 << "7"
                            << "300%";
        QTest::newRow("4x") << 3 << "7"
                            << "400%";
        QTest::newRow("custom 2.5 rounds to even") << 4 << "2.5"
                                                   << "200%";
        QTest::newRow("custom 3.5 rounds to even") << 4 << "3.5"
                                                   << "400%";
        QTest::newRow("custom 10") << 4 << "10"
                                   << "1000%";
    }
    void zoomComesFromTheOptions() {
        QFETCH(int, option);
        QFETCH(QString, factor);
        QFETCH(QString, percent);
        Fixture f;
        const QString source = f.picture(QStringLiteral("a.png"));
        f.zoom.chosen = ZoomChoiceView::Zoom(option - 1);
        f.zoom.factor = factor;
        f.run();
        QCOMPARE(f.lastMessage(), QStringLiteral("Done."));
        QCOMPARE(f.fake.calls().value(0),
                 (QStringList{QStringLiteral("-resize"), percent, percent, QStringLiteral("-o"),
                              f.out(QStringLiteral("a.png")), source}));
    }

    // The box, then zoom 0, which the converter refuses: the run must not claim success.
    void unusableFactorEndsInTheFailureSummary_data() {
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("error");
        QTest::newRow("overflow") << "400"
                                  << "Overflow";
        QTest::newRow("not a number") << "abc"
                                      << "Type mismatch";
    }
    void unusableFactorEndsInTheFailureSummary() {
        QFETCH(QString, factor);
        QFETCH(QString, error);
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        f.zoom.chosen = ZoomChoiceView::Zoom::Custom;
        f.zoom.factor = factor;
        f.run(2);
        QCOMPARE(f.dialogs.messages(),
                 (QStringList{appError(error, 130),
                              QStringLiteral("Done.\r\n\r\n1 of 1 file(s) could not be "
                                             "enlarged:\r\na.png: an internal error (not a "
                                             "valid command line)")}));
        QCOMPARE(f.fake.calls().value(0).value(1), QStringLiteral("0%"));
    }

    void sizeLimitIsInclusive() {
        Fixture f;
        f.picture(QStringLiteral("edge.png"), 7500, 2);
        f.picture(QStringLiteral("wide.png"), 7501, 1);
        f.picture(QStringLiteral("tall.png"), 1, 7501);
        f.picture(QStringLiteral("next.png"));
        f.run(3);
        QCOMPARE(f.dialogs.messages(),
                 (QStringList{tooLarge(QStringLiteral("wide.png")),
                              tooLarge(QStringLiteral("tall.png")), QStringLiteral("Done.")}));
        const QList<QStringList> calls = f.fake.calls();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls.at(0).last(), f.in(QStringLiteral("edge.png")));
        QCOMPARE(calls.at(1).last(), f.in(QStringLiteral("next.png")));
        QVERIFY(!QFileInfo::exists(f.out(QStringLiteral("wide.png"))));
    }

    // Measured from their headers like the classic formats, or never refused.
    void headersOfEveryFormatAreMeasured_data() {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("WebP") << QStringLiteral("webp");
        QTest::newRow("TIFF") << QStringLiteral("tif");
    }

    void headersOfEveryFormatAreMeasured() {
        QFETCH(QString, suffix);
        Fixture f;
        f.picture(QStringLiteral("wide.") + suffix, 8000, 1);
        f.picture(QStringLiteral("fits.") + suffix, 7500, 1);
        f.run(2);
        QCOMPARE(f.dialogs.messages(), (QStringList{tooLarge(QStringLiteral("wide.") + suffix),
                                                    QStringLiteral("Done.")}));
        const QList<QStringList> calls = f.fake.calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.at(0).last(), f.in(QStringLiteral("fits.") + suffix));
    }

    void everyFileRefusedStillEndsWithDone() {
        Fixture f;
        f.zoom.chosen = ZoomChoiceView::Zoom::Times4;
        f.picture(QStringLiteral("a.png"), 3751, 1);
        f.run(2);
        QCOMPARE(f.dialogs.messages(),
                 (QStringList{tooLarge(QStringLiteral("a.png")), QStringLiteral("Done.")}));
        QVERIFY(f.fake.calls().isEmpty());
        QVERIFY(!QFileInfo::exists(ConverterPath()));
    }

    void unreadablePictureIsReportedAndSkipped() {
        Fixture f;
        const QString bad = f.in(QStringLiteral("bad.png"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        f.list.append(bad);
        f.list.append(f.in(QStringLiteral("missing.png")));
        f.picture(QStringLiteral("good.png"));
        f.run(3);
        QCOMPARE(f.dialogs.messages(),
                 (QStringList{appError(QStringLiteral("Invalid picture"), 146),
                              appError(QStringLiteral("Invalid picture"), 146),
                              QStringLiteral("Done.")}));
        QCOMPARE(f.fake.calls().size(), 1);
    }

    // The user's own picture must survive an output folder that is its own folder.
    void sourceIsNeverTheOutput() {
        Fixture f;
        const QString source = f.picture(QStringLiteral("a.png"));
        const QByteArray before = [&] {
            QFile file(source);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        f.picture(QStringLiteral("b.png"));
        f.zoom.folder = f.dir.filePath(QStringLiteral("out/../in"));
        f.run(3);
        QCOMPARE(f.dialogs.messages().first(),
                 QStringLiteral("Cannot enlarge a.png.\r\nThe result would replace the original "
                                "file. Please select another folder."));
        QCOMPARE(f.lastMessage(), QStringLiteral("Done."));
        QVERIFY(f.fake.calls().isEmpty());
        QFile file(source);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void sameNameFromAnotherFolderIsRefused() {
        Fixture f;
        QDir(f.dir.path()).mkpath(QStringLiteral("in/sub"));
        const QString first = f.picture(QStringLiteral("x.png"));
        f.picture(QStringLiteral("sub/x.png"));
        f.list.append(first); // the very same file again is converted again
        f.run(2);
        QCOMPARE(f.dialogs.messages(),
                 (QStringList{QStringLiteral("Cannot enlarge x.png.\r\nA file of this name was "
                                             "already enlarged into this folder in this run."),
                              QStringLiteral("Done.")}));
        const QList<QStringList> calls = f.fake.calls();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls.at(1).last(), first);
    }

    void failuresAreSummarised() {
        Fixture f;
        for (int i = 1; i <= 12; ++i) {
            f.picture(QStringLiteral("bad%1.png").arg(i, 2, 10, QLatin1Char('0')));
        }
        f.picture(QStringLiteral("good.png"));
        f.picture(QStringLiteral("huge.png"), 9000, 1); // refused: not counted again
        f.fake.failOn(QStringLiteral("bad"));
        f.run(2);
        QString expected = QStringLiteral("Done.\r\n\r\n12 of 13 file(s) could not be enlarged:");
        for (int i = 1; i <= 10; ++i) {
            expected += QStringLiteral("\r\nbad%1.png: the result could not be written (staged "
                                       "failure)")
                            .arg(i, 2, 10, QLatin1Char('0'));
        }
        QCOMPARE(f.lastMessage(), expected + QStringLiteral("\r\n..."));
    }

    void readOnlyEarlierOutputIsReplaced() {
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        const QString output = f.out(QStringLiteral("a.png"));
        QFile old(output);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old result");
        old.close();
        QVERIFY(QFile::setPermissions(output, QFile::ReadOwner));
        f.run();
        QCOMPARE(f.lastMessage(), QStringLiteral("Done."));
        QVERIFY(QImage(output).size() == QSize(4, 3));
    }

    void plantedConverterIsReplacedBeforeItRuns() {
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        QFile planted(ConverterPath());
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.write("#!/bin/sh\nexit 0\n");
        planted.close();
        planted.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        f.run();
        QCOMPARE(f.fake.calls().size(), 1); // our converter ran, not the planted one
        QVERIFY(!QFileInfo::exists(ConverterPath()));
    }

    void folderAtConverterPathFailsEveryStart() {
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        f.picture(QStringLiteral("b.png"));
        QVERIFY(QDir().mkdir(ConverterPath()));
        f.run();
        QCOMPARE(f.lastMessage(),
                 QStringLiteral("Done.\r\n\r\n2 of 2 file(s) could not be enlarged:\r\na.png: the "
                                "converter could not be started\r\nb.png: the converter could not "
                                "be started"));
        QVERIFY(f.fake.calls().isEmpty());
    }

    void secondClickDuringARunDoesNothing() {
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        f.picture(QStringLiteral("b.png"));
        bool clicked = false;
        f.onPoll = [&](int) {
            if (!clicked) {
                clicked = true;
                QVERIFY(f.controller->runInProgress());
                f.controller->startEnlarging();
            }
        };
        QSignalSpy states(f.controller.get(), &EnlargeController::stateChanged);
        f.run();
        QVERIFY(clicked);
        QCOMPARE(states.size(), 2); // running, then idle once: the second click changed nothing
        QCOMPARE(f.controller->state(), EnlargeController::State::Idle);
        QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("Done.")});
        QCOMPARE(f.fake.calls().size(), 2);
    }

    // Other handlers may reset the pointer while the run yields; each file sets it again.
    void busyPointerIsRestoredForEachFile() {
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        f.picture(QStringLiteral("b.png"));
        QList<bool> busyAtStart;
        int lastFile = 0;
        f.onPoll = [&](int) {
            const int file = int(f.bar.value() / 50);
            if (file != lastFile) {
                lastFile = file;
                busyAtStart.append(f.pointer.isBusy());
                f.pointer.setMousePointer(pointer::kDefault);
            }
        };
        f.run();
        QCOMPARE(busyAtStart, (QList<bool>{true, true}));
    }

    void closingTheWindowEndsTheRunAtOnce() {
        Fixture f;
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            f.picture(QString::fromLatin1(name));
        }
        f.fake.hold();
        bool closed = false;
        f.onPoll = [&](int) {
            if (!closed) {
                closed = true;
                QVERIFY(QFileInfo::exists(ConverterPath()));
                f.controller->windowClosing();
            }
        };
        QSignalSpy states(f.controller.get(), &EnlargeController::stateChanged);
        f.controller->startEnlarging();
        QVERIFY(closed);
        // Closing is for good: the run never goes back to idle.
        QCOMPARE(states.size(), 2);
        QCOMPARE(states.at(0).at(0).value<EnlargeController::State>(),
                 EnlargeController::State::Running);
        QCOMPARE(states.at(1).at(0).value<EnlargeController::State>(),
                 EnlargeController::State::Closing);
        f.controller->startEnlarging(); // a click that arrives while the window goes does nothing
        QCOMPARE(states.size(), 2);
        QVERIFY(f.dialogs.messages().isEmpty()); // no "Done."
        QVERIFY(!QFileInfo::exists(ConverterPath()));
        // The converter already started is left to finish its file, and no other starts.
        f.fake.release();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(f.out(QStringLiteral("a.png"))), 20'000);
        QCOMPARE(f.fake.calls().size(), 1);
        QVERIFY(!QFileInfo::exists(f.out(QStringLiteral("b.png"))));
    }
};

QTEST_MAIN(EnlargeControllerTest)
#include "tst_enlargecontroller.moc"
