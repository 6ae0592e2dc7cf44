// SPDX-License-Identifier: MIT
#include "imagelist/normalisepath.h"

#include <QDir>
#include <QTest>

using namespace quorvel;

class NormalisePathTest : public QObject {
    Q_OBJECT
private slots:
    void backslashForm_data();
    void backslashForm();
    void slashForm_data();
    void slashForm();
    void nativeFormIsTheSeparatorsForm();
};

void NormalisePathTest::backslashForm_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    // Raw strings show every backslash as the user would see it.
    QTest::newRow("folder ending in a separator, joined") << R"(C:\\Pics\a.jpg)"
                                                          << R"(C:\Pics\a.jpg)";
    QTest::newRow("root folder joined") << R"(C:\\a.jpg)"
                                        << R"(C:\a.jpg)";
    QTest::newRow("three leading become the network two") << R"(\\\server\share\\b.png)"
                                                          << R"(\\server\share\b.png)";
    QTest::newRow("one leading becomes the network two") << R"(\server\c.gif)"
                                                         << R"(\\server\c.gif)";
    QTest::newRow("network path unchanged") << R"(\\server\share\a.png)"
                                            << R"(\\server\share\a.png)";
    QTest::newRow("clean path unchanged") << R"(C:\Pics\a.jpg)"
                                          << R"(C:\Pics\a.jpg)";
    QTest::newRow("one pass: three in a row keep two") << R"(C:\Pics\\\a.jpg)"
                                                       << R"(C:\Pics\\a.jpg)";
    QTest::newRow("four in a row become two") << R"(C:\Pics\\\\a.jpg)"
                                              << R"(C:\Pics\\a.jpg)";
    QTest::newRow("slashes are no separators here") << R"(C:\a//b.jpg)"
                                                    << R"(C:\a//b.jpg)";
    QTest::newRow("nothing but separators") << R"(\\\\)"
                                            << R"(\\)";
    QTest::newRow("empty") << ""
                           << "";
}

void NormalisePathTest::backslashForm() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(NormalisePath(path, QLatin1Char('\\')), expected);
}

void NormalisePathTest::slashForm_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder ending in a separator, joined") << "/pics//a.jpg"
                                                          << "/pics/a.jpg";
    QTest::newRow("root folder joined") << "//a.jpg"
                                        << "/a.jpg";
    QTest::newRow("clean path unchanged") << "/pics/a.jpg"
                                          << "/pics/a.jpg";
    QTest::newRow("every run becomes one") << "///pics///holiday////a.jpg"
                                           << "/pics/holiday/a.jpg";
    QTest::newRow("relative path") << "pics//a.jpg"
                                   << "pics/a.jpg";
    QTest::newRow("backslashes are name characters") << R"(/pics/a\\b.jpg)"
                                                     << R"(/pics/a\\b.jpg)";
    QTest::newRow("root alone") << "//"
                                << "/";
    QTest::newRow("empty") << ""
                           << "";
}

void NormalisePathTest::slashForm() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(NormalisePath(path, QLatin1Char('/')), expected);
}

void NormalisePathTest::nativeFormIsTheSeparatorsForm() {
    const QString sep(QDir::separator());
    const QString joined = sep + sep + QStringLiteral("pics") + sep + sep + QStringLiteral("a.jpg");
    QCOMPARE(NormalisePath(joined), NormalisePath(joined, QDir::separator()));
}

QTEST_GUILESS_MAIN(NormalisePathTest)
#include "tst_normalisepath.moc"
