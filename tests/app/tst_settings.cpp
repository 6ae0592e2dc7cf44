// SPDX-License-Identifier: MIT
#include "app/settings/settingskeys.h"
#include "app/settings/settingsstore.h"
#include "enlarge/zoomfactor.h"
#include "platform/apperror.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvel;

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void savedValueIsOnDiskBeforeSaveReturns();
    void absentKeyGivesTheCallersDefault();
    void failedWriteIsRaised();
    void booleanReadings_data();
    void booleanReadings();
    void zoomFactorConversion_data();
    void zoomFactorConversion();
    void zoomTextCheck_data();
    void zoomTextCheck();

private:
    QTemporaryDir m_config;
};

void SettingsTest::initTestCase() {
    QVERIFY(m_config.isValid());
    SettingsStore::setConfigFolder(m_config.path());
    QLocale::setDefault(QLocale::c());
}

void SettingsTest::savedValueIsOnDiskBeforeSaveReturns() {
    SettingsStore store;
    store.save(settings::kText1, QStringLiteral("/home/me/out, with comma/"));
    QFile ini(m_config.filePath(QStringLiteral("Bramwick/Bramwick.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY(text.contains("[Quorvel]"));
    QVERIFY(text.contains("Text1="));
    QCOMPARE(store.GetSetting(QStringLiteral("Bramwick"), QStringLiteral("Quorvel"),
                              QStringLiteral("Text1"), QString()),
             QStringLiteral("/home/me/out, with comma/"));
}

void SettingsTest::absentKeyGivesTheCallersDefault() {
    SettingsStore store;
    QCOMPARE(store.get(QStringLiteral("NeverWritten"), QStringLiteral("8")), QStringLiteral("8"));
    QCOMPARE(store.GetSetting(QStringLiteral("Bramwick"), QStringLiteral("NoSuchSection"),
                              settings::kText1, QStringLiteral("jpg")),
             QStringLiteral("jpg"));
}

void SettingsTest::failedWriteIsRaised() {
    // A plain file where the store's folder should be: no write can succeed, even as root.
    QTemporaryDir blocked;
    QFile file(blocked.filePath(QStringLiteral("Bramwick")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    SettingsStore::setConfigFolder(blocked.path());
    SettingsStore store;
    bool raised = false;
    try {
        store.save(settings::kExtension, QStringLiteral("png"));
    } catch (const AppError&) {
        raised = true;
    }
    SettingsStore::setConfigFolder(m_config.path());
    QVERIFY(raised);
}

void SettingsTest::booleanReadings_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // 1 true, 0 false, -1 raises
    QTest::newRow("True") << "True" << 1;
    QTest::newRow("False") << "False" << 0;
    QTest::newRow("lower") << "true" << 1;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("minus one") << "-1" << 1;
    QTest::newRow("word") << "maybe" << -1;
    QTest::newRow("empty") << "" << -1;
}

void SettingsTest::booleanReadings() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    int got = -1;
    try {
        got = booleanReading(text) ? 1 : 0;
    } catch (const AppError& e) {
        QCOMPARE(e.number(), errnum::kTypeMismatch);
    }
    QCOMPARE(got, expected);
}

void SettingsTest::zoomFactorConversion_data() {
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

void SettingsTest::zoomFactorConversion() {
    QFETCH(QString, text);
    QFETCH(int, percent);
    int got = 0;
    try {
        got = CustomZoomPercentage(text);
    } catch (const AppError& e) {
        got = -e.number();
    }
    QCOMPARE(got, percent);
}

void SettingsTest::zoomTextCheck_data() {
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

void SettingsTest::zoomTextCheck() {
    QFETCH(QString, text);
    QFETCH(int, check);
    QCOMPARE(int(checkZoomText(text)), check);
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
