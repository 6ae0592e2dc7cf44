// SPDX-License-Identifier: MIT
#include "platform/apperror.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

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

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
