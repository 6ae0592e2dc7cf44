// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A temporary folder filled from a list: entries ending in "/" are folders,
// the others files (their parent folders are made as needed).
class Sandbox {
public:
    explicit Sandbox(const QStringList& entries = {}) {
        QVERIFY(m_dir.isValid());
        for (const QString& entry : entries) {
            add(entry);
        }
    }

    void add(const QString& entry) {
        const QString full = path(entry);
        if (entry.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(full));
            return;
        }
        QVERIFY(QDir().mkpath(QFileInfo(full).absolutePath()));
        QFile file(full);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    /// A file, or a folder when `raw` ends in "/", whose name is raw bytes
    /// (which need not decode as a file name).
    void addRaw(const QByteArray& raw) {
        const QByteArray full = QFile::encodeName(m_dir.path()) + '/' + raw;
        if (raw.endsWith('/')) {
            QVERIFY(::mkdir(full.constData(), 0755) == 0);
            return;
        }
        const int fd = ::open(full.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
    }

    void link(const QString& entry, const QString& target) {
        QVERIFY(QFile::link(path(target), path(entry)));
    }

    void makeReadOnly(const QString& entry) {
        QVERIFY(QFile::setPermissions(path(entry), QFile::ReadOwner | QFile::ReadGroup));
    }

    /// The full path of an entry; "" is the sandbox itself.
    QString path(const QString& entry = QString()) const {
        return entry.isEmpty() ? m_dir.path() : m_dir.path() + QLatin1Char('/') + entry;
    }
    /// The entry as the folder scan keeps it: with a trailing separator.
    QString folder(const QString& entry = QString()) const {
        return path(entry) + QLatin1Char('/');
    }

private:
    QTemporaryDir m_dir;
};
