// SPDX-License-Identifier: MIT
#include "enlarge/convertercommand.h"
#include "enlarge/runandwait.h"
#include "fakeconverterenv.h"
#include "recordingbar.h"

#include <QElapsedTimer>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvel;
using quorvel::test::FakeConverter;
using quorvel::test::RecordingBar;

namespace {

ConverterCommand fakeCommand(const QString& output, const QString& source, int zoom = 200) {
    return enlargeCommand(FakeConverter::program(), zoom, output, source);
}

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("picture");
}

// Every poll as fast as the event loop allows: no test waits on real time.
WaitOptions quickPolls(QList<int>* polls = nullptr) {
    WaitOptions options;
    options.pollIntervalMs = 0;
    if (polls) {
        options.onPoll = [polls](int poll) { polls->append(poll); };
    }
    return options;
}

} // namespace

class RunAndWaitTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.emplace(); }

    void windowStyle_data() {
        QTest::addColumn<int>("given");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<int>("used");
        QTest::newRow("missing") << 0 << true << 6;
        QTest::newRow("hidden") << 0 << false << 0;
        QTest::newRow("largest") << 6 << false << 6;
        QTest::newRow("below") << -1 << false << 6;
        QTest::newRow("above") << 7 << false << 6;
    }
    void windowStyle() {
        QFETCH(int, given);
        QFETCH(bool, missing);
        QFETCH(int, used);
        QCOMPARE(effectiveWindowStyle(missing ? std::nullopt : std::optional<int>(given)), used);
    }

    void creepTable_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("ceilingAbove");
        QTest::newRow("1") << 1 << 10 << 90;
        QTest::newRow("2") << 2 << 5 << 45;
        QTest::newRow("3") << 3 << 3 << 30;
        QTest::newRow("4: 2.5 goes to even") << 4 << 2 << 23;
        QTest::newRow("19") << 19 << 1 << 4;
        QTest::newRow("20") << 20 << 0 << 5;
        QTest::newRow("200: 25.5 goes to even") << 200 << 0 << 1;
    }
    void creepTable() {
        QFETCH(int, files);
        QFETCH(int, step);
        QFETCH(int, ceilingAbove);
        const Creep creep = creepFor(files, 25);
        QCOMPARE(creep.step, step);
        QCOMPARE(creep.ceiling, 25 + ceilingAbove);
    }

    void commandArguments_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("source");
        QTest::newRow("plain") << "/o/a.jpg"
                               << "/s/a.jpg";
        QTest::newRow("blank and dash") << "/o/-a b.jpg"
                                        << "/s/-a b.jpg";
    }
    void commandArguments() {
        QFETCH(QString, output);
        QFETCH(QString, source);
        // Each path is one argument, never split at a blank nor read as an option.
        const ConverterCommand command =
            enlargeCommand(QStringLiteral("/t/nconvert"), 200, output, source);
        QCOMPARE(command.program, QStringLiteral("/t/nconvert"));
        QCOMPARE(command.arguments, (QStringList{"-resize", "200%", "200%", "-o", output, source}));
    }

    void missingProgramFailsAtOnceAndLeavesTheBar() {
        RecordingBar bar;
        const ConverterCommand command{m_dir->filePath(QStringLiteral("none")), {}};
        QCOMPARE(RunAndWait(command, 0, &bar, QStringLiteral("x"), 25, 4, quickPolls()),
                 -2147221451);
        QVERIFY(bar.values.isEmpty());
        QVERIFY(bar.texts.isEmpty());
    }

    void quickExitTakesOnePollAndRestoresTheText() {
        FakeConverter fake;
        const QString source = m_dir->filePath(QStringLiteral("a.jpg"));
        touch(source);
        RecordingBar bar;
        QList<int> polls;
        WaitOptions options;
        options.pollIntervalMs = 60'000; // ends with the process, not with the interval
        options.onPoll = [&](int poll) { polls.append(poll); };
        const QString output = m_dir->filePath(QStringLiteral("b.jpg"));
        QCOMPARE(RunAndWait(fakeCommand(output, source), 0, &bar,
                            QStringLiteral("Processing: a.jpg"), 25, 4, options),
                 0);
        QVERIFY(QFile::exists(output));
        QCOMPARE(polls, QList<int>{1});
        QCOMPARE(bar.texts, QStringList{QStringLiteral("Processing: a.jpg")});
        QVERIFY(bar.values.isEmpty());
    }

    // A long poll interval must not hold up a process that has already ended.
    void wakesWhenTheProcessEnds() {
        FakeConverter fake;
        WaitOptions options;
        options.pollIntervalMs = 60'000;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(RunAndWait(fakeCommand(QStringLiteral("/o"), QStringLiteral("/s"), 0), 0, nullptr,
                            QString(), 0, 1, options),
                 2);
        QVERIFY2(clock.elapsed() < 10'000, "the wait slept through the end of the process");
    }

    // A converter killed by a signal may leave exit code 0 behind; that is no success.
    void crashIsNeverSuccess() {
        FakeConverter fake;
        fake.crash();
        RunReport report;
        QVERIFY(RunAndWait(fakeCommand(QStringLiteral("/o"), QStringLiteral("/s")), 0, nullptr,
                           QString(), 0, 1, quickPolls(), &report) > 128);
        QVERIFY(report.crashed);
    }

    void reportKeepsTheFirstErrorLine() {
        FakeConverter fake;
        fake.failOn(QStringLiteral("broken"), 3, QStringLiteral("truncated JPEG\r\nmore"));
        RunReport report;
        const QString source = m_dir->filePath(QStringLiteral("broken.jpg"));
        QCOMPARE(RunAndWait(fakeCommand(QStringLiteral("/o"), source), 0, nullptr, QString(), 0, 1,
                            quickPolls(), &report),
                 3);
        QVERIFY(!report.crashed);
        QCOMPARE(report.errorLine,
                 QStringLiteral("nconvert: ") + source + QStringLiteral(": truncated JPEG"));

        RunReport success;
        touch(source);
        fake.failOn(QStringLiteral("nothing of the kind"));
        QCOMPARE(RunAndWait(fakeCommand(m_dir->filePath(QStringLiteral("out.jpg")), source), 0,
                            nullptr, QString(), 0, 1, quickPolls(), &success),
                 0);
        QVERIFY(success.errorLine.isEmpty() && !success.crashed);
    }

    // Far more than a pipe holds: a wait that did not read as it went would never end.
    void floodOfErrorOutputIsBoundedAndNeverBlocks() {
        FakeConverter fake;
        fake.flood(4 << 20);
        fake.failOn(QStringLiteral("/s"), 7);
        RunReport report;
        QCOMPARE(RunAndWait(fakeCommand(QStringLiteral("/o"), QStringLiteral("/s")), 0, nullptr,
                            QString(), 0, 1, quickPolls(), &report),
                 7);
        QCOMPARE(report.errorLine, QString(kMaxErrorOutput, QLatin1Char('x')));
    }

    void startThatFailsReportsNothing() {
        RunReport report;
        const ConverterCommand command{m_dir->filePath(QStringLiteral("none")), {}};
        QVERIFY(RunAndWait(command, 0, nullptr, QString(), 0, 1, quickPolls(), &report) < 0);
        QVERIFY(report.errorLine.isEmpty() && !report.crashed);
    }

    void creepOfALongConversion_data() {
        QTest::addColumn<QString>("barText");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("firstWaitingText");
        QTest::addColumn<QString>("finalText");
        QTest::addColumn<QList<double>>("values");
        QTest::newRow("four files from 25")
            << "Processing: a.jpg" << 4 << "Processing: a.jpg, Please wait.. 0"
            << "Processing: a.jpg"
            << QList<double>{25, 27, 29, 31, 33, 35, 37, 39, 41, 43, 45, 47, 48, 48};
        QTest::newRow("twenty files: no creep")
            << "Processing: a.jpg" << 20 << "Processing: a.jpg, Please wait.. 0"
            << "Processing: a.jpg"
            << QList<double>{25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25};
        QTest::newRow("empty bar text")
            << "" << 4 << "Please wait.. 0"
            << "Progress Bar"
            << QList<double>{25, 27, 29, 31, 33, 35, 37, 39, 41, 43, 45, 47, 48, 48};
    }
    void creepOfALongConversion() {
        QFETCH(QString, barText);
        QFETCH(int, files);
        QFETCH(QString, firstWaitingText);
        QFETCH(QString, finalText);
        QFETCH(QList<double>, values);
        FakeConverter fake;
        fake.hold();
        RecordingBar bar;
        QMap<int, double> valueAt;
        QMap<int, QString> textAt;
        constexpr int kLastPoll = 50 + 13 * 150;
        WaitOptions options = quickPolls();
        options.onPoll = [&](int poll) {
            valueAt[poll] = bar.value();
            textAt[poll] = bar.text();
            if (poll == kLastPoll) {
                fake.release();
            }
        };
        bar.setValue(25);
        bar.values.clear();
        RunAndWait(fakeCommand(QStringLiteral("/o"), QStringLiteral("/s")), 0, &bar, barText, 25,
                   files, options);
        QCOMPARE(textAt.value(49), progressBarIdleText()); // untouched before poll 50
        QCOMPARE(textAt.value(50), firstWaitingText);
        QVERIFY(textAt.value(51).endsWith(QStringLiteral("Please wait.. 1")));
        // The release may take a few more polls to be seen; the bar stays at its ceiling.
        QCOMPARE(bar.values.mid(0, values.size()), values);
        for (qsizetype i = values.size(); i < bar.values.size(); ++i) {
            QCOMPARE(bar.values.at(i), values.last());
        }
        QCOMPARE(valueAt.value(50), 25.0);
        QCOMPARE(valueAt.value(199), 25.0);
        QCOMPARE(valueAt.value(200), values.at(1));
        QCOMPARE(valueAt.value(350), values.at(2));
        QCOMPARE(bar.text(), finalText);
    }

    // Closing the window gives the wait up at once but never kills the converter.
    void abandonLeavesTheProcessRunning() {
        FakeConverter fake;
        fake.hold();
        const QString source = m_dir->filePath(QStringLiteral("a.jpg"));
        touch(source);
        const QString output = m_dir->filePath(QStringLiteral("b.jpg"));
        WaitOptions options = quickPolls();
        options.abandon = [] { return true; };
        QCOMPARE(RunAndWait(fakeCommand(output, source), 0, nullptr, QString(), 0, 1, options),
                 kStillActive);
        QVERIFY(!QFile::exists(output));
        fake.release();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(output), 20'000);
    }

private:
    std::optional<QTemporaryDir> m_dir;
};

QTEST_MAIN(RunAndWaitTest)
#include "tst_runandwait.moc"
