// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

namespace quorvel::test {

/// Steers the stand-in converter through its environment and reads back what
/// it was started with. One per test; it cleans the environment up again.
class FakeConverter {
public:
    FakeConverter() {
        qputenv("FAKE_NCONVERT_LOG", QFile::encodeName(logPath()));
        unsetSteering();
    }
    ~FakeConverter() {
        release();
        qunsetenv("FAKE_NCONVERT_LOG");
        unsetSteering();
    }

    static QString program() { return QStringLiteral(FAKE_NCONVERT_PATH); }
    static QByteArray bytes() {
        QFile file(program());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    /// Keeps every start running until `release()`.
    void hold() { qputenv("FAKE_NCONVERT_HOLD", QFile::encodeName(holdPath())); }
    void release() {
        QFile file(holdPath());
        if (file.open(QIODevice::WriteOnly)) {
            file.close();
        }
    }
    void crash() { qputenv("FAKE_NCONVERT_CRASH", "1"); }
    /// Fails every input whose path holds `text` with `status`, saying
    /// "nconvert: PATH: " and `reason` (PATH the output for status 6, else the input).
    void failOn(const QString& text, int status = 6,
                const QString& reason = QStringLiteral("staged failure")) {
        qputenv("FAKE_NCONVERT_FAIL_ON", text.toUtf8());
        qputenv("FAKE_NCONVERT_FAIL_STATUS", QByteArray::number(status));
        qputenv("FAKE_NCONVERT_FAIL_REASON", reason.toUtf8());
    }
    /// Writes `bytes` to the error output, on one line, before anything else.
    void flood(qint64 bytes) { qputenv("FAKE_NCONVERT_FLOOD", QByteArray::number(bytes)); }

    /// The argument lists of every start, in order.
    QList<QStringList> calls() const {
        QList<QStringList> result;
        QFile file(logPath());
        if (file.open(QIODevice::ReadOnly)) {
            const QStringList lines =
                QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (const QString& line : lines) {
                result.append(line.split(QLatin1Char('\t')));
            }
        }
        return result;
    }

private:
    static void unsetSteering() {
        for (const char* name :
             {"FAKE_NCONVERT_HOLD", "FAKE_NCONVERT_FAIL_ON", "FAKE_NCONVERT_FAIL_STATUS",
              "FAKE_NCONVERT_FAIL_REASON", "FAKE_NCONVERT_FLOOD", "FAKE_NCONVERT_CRASH"}) {
            qunsetenv(name);
        }
    }
    QString logPath() const { return m_dir.filePath(QStringLiteral("calls.log")); }
    QString holdPath() const { return m_dir.filePath(QStringLiteral("release")); }

    QTemporaryDir m_dir;
};

} // namespace quorvel::test
