// SPDX-License-Identifier: MIT
#include "enlarge/zoomfactor.h"
#include "platform/apperror.h"

#include <QLocale>
#include <QTest>

using namespace quorvel;

class ZoomFactorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void zoomFactorConversion_data();
    void zoomFactorConversion();
    void zoomTextCheck_data();
    void zoomTextCheck();
};

void ZoomFactorTest::initTestCase() {
    QLocale::setDefault(QLocale::c());
}

void ZoomFactorTest::zoomFactorConversion_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("percent"); // or the error number, negated
    QTest::newRow("2.5 rounds to even") << "2.5" << 200;
    QTest::newRow("3.5 rounds to even") << "3.5" << 400;
    QTest::newRow("10.5") << "10.5" << 1000;
    QTest::newRow("blanks around") << " 4 " << 400;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("negative") << "-3" << -300;
    QTest::newRow("stored above cap") << "15" << 1500;
    QTest::newRow("product overflows") << "328" << -errnum::kOverflow;
    QTest::newRow("factor overflows") << "40000" << -errnum::kOverflow;
    QTest::newRow("no number") << "abc" << -errnum::kTypeMismatch;
    QTest::newRow("empty") << "" << -errnum::kTypeMismatch;
}

void ZoomFactorTest::zoomFactorConversion() {
    QFETCH(QString, text);
    QFETCH(int, percent);
    int got = 0;
    try {
        got = customZoomPercentage(text);
    } catch (const AppError& e) {
        got = -e.number();
    }
    QCOMPARE(got, percent);
}

void ZoomFactorTest::zoomTextCheck_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("check");
    const int keep = int(ZoomTextCheck::Keep);
    const int cap = int(ZoomTextCheck::CapToTen);
    const int refuse = int(ZoomTextCheck::NotNumeric);
    QTest::newRow("10.4") << "10.4" << keep;
    QTest::newRow("10.5 rounds down to even") << "10.5" << keep;
    QTest::newRow("10.6") << "10.6" << cap;
    QTest::newRow("15") << "15" << cap;
    QTest::newRow("huge positive") << "1e6" << cap;
    QTest::newRow("huge negative stays") << "-40000" << keep;
    QTest::newRow("zero") << "0" << keep;
    QTest::newRow("letters") << "abc" << refuse;
    QTest::newRow("empty") << "" << refuse;
}

void ZoomFactorTest::zoomTextCheck() {
    QFETCH(QString, text);
    QFETCH(int, check);
    QCOMPARE(int(checkZoomText(text)), check);
}

QTEST_GUILESS_MAIN(ZoomFactorTest)
#include "tst_zoomfactor.moc"
