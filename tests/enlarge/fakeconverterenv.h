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
        qunsetenv("FAKE_NCONVERT_HOLD");
        qunsetenv("FAKE_NCONVERT_FAIL_ON");
        qunsetenv("FAKE_NCONVERT_CRASH");
    }
    ~FakeConverter() {
        release();
        qunsetenv("FAKE_NCONVERT_LOG");
        qunsetenv("FAKE_NCONVERT_HOLD");
        qunsetenv("FAKE_NCONVERT_FAIL_ON");
        qunsetenv("FAKE_NCONVERT_CRASH");
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
    void failOn(const QString& text) { qputenv("FAKE_NCONVERT_FAIL_ON", text.toUtf8()); }

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
    QString logPath() const { return m_dir.filePath(QStringLiteral("calls.log")); }
    QString holdPath() const { return m_dir.filePath(QStringLiteral("release")); }

    QTemporaryDir m_dir;
};

} // namespace quorvel::test
