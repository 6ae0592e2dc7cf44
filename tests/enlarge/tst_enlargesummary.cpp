// SPDX-License-Identifier: MIT
// What the summary at the end of a run says of the files the converter did not enlarge.
#include "enlargefixture.h"

#include <QFileInfo>
#include <QTest>

using namespace quorvel;
using Fixture = quorvel::test::EnlargeFixture;

class EnlargeSummaryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // The converter's status says why, its error line (without its "nconvert: PATH: ") how.
    void eachFailureSaysWhy_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("line");
        QTest::newRow("3") << 3 << "corrupt or truncated JPEG (jpeg: Premature end of JPEG file)"
                           << "bad.png: the file is damaged or incomplete (corrupt or truncated "
                              "JPEG (jpeg: Premature end of JPEG file))";
        QTest::newRow("4") << 4 << "not a BMP, JPEG, GIF or PNG picture"
                           << "bad.png: not a picture format this program reads (not a BMP, "
                              "JPEG, GIF or PNG picture)";
        QTest::newRow("5") << 5 << "the result would be 200000 pixels wide"
                           << "bad.png: the picture or its result is too large (the result would "
                              "be 200000 pixels wide)";
        QTest::newRow("6") << 6 << "No space left on device"
                           << "bad.png: the result could not be written (No space left on device)";
        QTest::newRow("7") << 7 << "out of memory"
                           << "bad.png: an internal error (out of memory)";
        QTest::newRow("second line left out") << 3 << "truncated\nat row 12"
                                              << "bad.png: the file is damaged or incomplete "
                                                 "(truncated)";
    }
    void eachFailureSaysWhy() {
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(QString, line);
        Fixture f;
        f.picture(QStringLiteral("good.png"));
        f.picture(QStringLiteral("bad.png"));
        f.fake.failOn(QStringLiteral("bad"), status, said);
        f.run();
        QCOMPARE(f.lastMessage(),
                 QStringLiteral("Done.\r\n\r\n1 of 2 file(s) could not be enlarged:\r\n") + line);
    }

    void aConverterEndedByASignalStoppedUnexpectedly() {
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        f.fake.crash();
        f.run();
        QCOMPARE(f.lastMessage(), QStringLiteral("Done.\r\n\r\n1 of 1 file(s) could not be "
                                                 "enlarged:\r\na.png: the converter stopped "
                                                 "unexpectedly"));
    }

    // Running as root, no permission refuses a write; a regular file where the output's folder
    // should be does. The user points the output box there while the run goes on.
    void aResultThatCannotBeWrittenSaysWhy() {
        Fixture f;
        f.picture(QStringLiteral("a.png"));
        f.picture(QStringLiteral("b.png"));
        const QString blocker = f.dir.filePath(QStringLiteral("blocker"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        f.onPoll = [&](int) { f.zoom.folder = blocker + QLatin1Char('/'); };
        f.run();
        QCOMPARE(f.lastMessage(), QStringLiteral("Done.\r\n\r\n1 of 2 file(s) could not be "
                                                 "enlarged:\r\nb.png: the result could not be "
                                                 "written (Not a directory)"));
        QVERIFY(QFileInfo(blocker).isFile());
    }
};

QTEST_MAIN(EnlargeSummaryTest)
#include "tst_enlargesummary.moc"
