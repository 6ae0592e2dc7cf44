// SPDX-License-Identifier: MIT
#include "enlarge/conversionoutcome.h"
#include "enlarge/converterdeployment.h"
#include "enlarge/enlargemessages.h"
#include "enlarge/fileoperations.h"
#include "enlarge/outputguard.h"
#include "enlarge/pathparts.h"
#include "enlarge/widgets/qprogressbaradapter.h"
#include "platform/apperror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvel;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

const QByteArray kConverter("\x7f"
                            "ELF pretend converter",
                            23);

} // namespace

class EnlargeFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir.emplace();
        qputenv("TEMP", QFile::encodeName(m_dir->path()));
    }
    void cleanup() { qunsetenv("TEMP"); }

    void pathParts_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("plain") << "/a/b/photo.JPG"
                               << "photo.JPG"
                               << "JPG";
        QTest::newRow("no folder") << "photo.png"
                                   << "photo.png"
                                   << "png";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("dot in folder only") << "/a.b/photo"
                                            << "photo"
                                            << "b/photo";
        QTest::newRow("leading dot only") << ".hidden"
                                          << ".hidden"
                                          << ".hidden";
        QTest::newRow("trailing dot") << "/a/photo."
                                      << "photo."
                                      << "";
        QTest::newRow("trailing separator") << "/a/b/"
                                            << ""
                                            << "/a/b/";
    }
    void pathParts() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QCOMPARE(FileNameOf(path), name);
        QCOMPARE(ExtensionOf(path), extension);
    }

    void outputPath_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("output");
        QTest::newRow("with separator") << "/home/me/out/"
                                        << "/home/me/out/photo.jpg";
        QTest::newRow("without separator") << "/home/me/out"
                                           << "/home/me/out/photo.jpg";
        QTest::newRow("root") << "/"
                              << "/photo.jpg";
    }
    void outputPath() {
        QFETCH(QString, folder);
        QFETCH(QString, output);
        QCOMPARE(outputPathFor(folder, QStringLiteral("photo.jpg")), output);
    }

    void converterPathFollowsTemp() {
        QCOMPARE(ConverterPath(), m_dir->path() + QStringLiteral("/nconvert"));
        qputenv("TEMP", QFile::encodeName(m_dir->path() + QStringLiteral("/")));
        QCOMPARE(ConverterPath(), m_dir->path() + QStringLiteral("/nconvert"));
    }

    // Without TEMP the converter must not land in a folder others can write to.
    void converterPathWithoutTempIsPrivate() {
        const QByteArray systemTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_dir->path())); // keep the real one untouched
        const auto restore = qScopeGuard([&] {
            if (systemTemp.isEmpty()) {
                qunsetenv("TMPDIR");
            } else {
                qputenv("TMPDIR", systemTemp);
            }
        });
        for (const char* temp : std::initializer_list<const char*>{"", nullptr}) {
            if (temp) {
                qputenv("TEMP", temp);
            } else {
                qunsetenv("TEMP");
            }
            const QString folder = QFileInfo(ConverterPath()).path();
            QVERIFY(folder.startsWith(QDir::tempPath() + QStringLiteral("/")));
            struct stat st {};
            QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
            QVERIFY(S_ISDIR(st.st_mode));
            QCOMPARE(st.st_uid, ::getuid());
            QCOMPARE(st.st_mode & 0777, mode_t(0700));
            ::chmod(QFile::encodeName(folder).constData(), 0777);
            ConverterPath();
            QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0700));
        }
    }

    void deployWritesTheConverterOwnerOnly() {
        DeployConverter(kConverter);
        const QString path = ConverterPath();
        QCOMPARE(readFile(path), kConverter);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0700));
    }

    void deployKeepsAnIdenticalFile() {
        DeployConverter(kConverter);
        const ino_t before = inodeOf(ConverterPath());
        DeployConverter(kConverter);
        QCOMPARE(inodeOf(ConverterPath()), before);
    }

    void deployReplacesWhatIsNotOurs_data() {
        QTest::addColumn<QString>("planted");
        QTest::newRow("different bytes") << "file";
        QTest::newRow("longer file starting alike") << "longer";
        QTest::newRow("link to a copy") << "link";
    }
    void deployReplacesWhatIsNotOurs() {
        QFETCH(QString, planted);
        const QString path = ConverterPath();
        const QString elsewhere = m_dir->filePath(QStringLiteral("elsewhere"));
        if (planted == QLatin1String("file")) {
            writeFile(path, "#!/bin/sh\nexit 0\n");
        } else if (planted == QLatin1String("longer")) {
            writeFile(path, kConverter + "tail");
        } else {
            writeFile(elsewhere, kConverter);
            QVERIFY(QFile::link(elsewhere, path));
        }
        DeployConverter(kConverter);
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(readFile(path), kConverter);
        if (planted == QLatin1String("link")) {
            QCOMPARE(readFile(elsewhere), kConverter); // the link's target is not written
        }
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
                 planted == QLatin1String("link") ? 2 : 1); // no temporary file left
    }

    void deployLeavesAFolderOfThatName() {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("nconvert")));
        DeployConverter(kConverter);
        QVERIFY(QFileInfo(ConverterPath()).isDir());
    }

    void deployWithoutBytesRaises() {
        QVERIFY_THROWS_EXCEPTION(AppError, DeployConverter(QByteArray()));
        QVERIFY(!QFile::exists(ConverterPath()));
    }

    void writeBytesIfAbsentLeavesAnExistingFile() {
        const QString path = m_dir->filePath(QStringLiteral("f"));
        writeFile(path, "mine");
        WriteBytesIfAbsent(kConverter, path);
        QCOMPARE(readFile(path), QByteArray("mine"));
    }

    void writeBytesIfAbsentReportsAFailure() {
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 WriteBytesIfAbsent(kConverter, m_dir->filePath("no/such/f")));
    }

    void deleteFileIfPresent() {
        const QString readOnly = m_dir->filePath(QStringLiteral("ro.jpg"));
        writeFile(readOnly, "x");
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner));
        DeleteFileIfPresent(readOnly);
        QVERIFY(!QFileInfo::exists(readOnly));

        DeleteFileIfPresent(m_dir->filePath(QStringLiteral("missing.jpg"))); // no error

        // An empty folder of the output's name is the user's, not an earlier output.
        const QString folder = m_dir->filePath(QStringLiteral("photo.jpg"));
        QVERIFY(QDir().mkdir(folder));
        DeleteFileIfPresent(folder);
        QVERIFY(QFileInfo(folder).isDir());
    }

    void outputGuard() {
        QDir dir(m_dir->path());
        dir.mkpath(QStringLiteral("a"));
        dir.mkpath(QStringLiteral("b"));
        dir.mkpath(QStringLiteral("out"));
        const QString sourceA = dir.filePath(QStringLiteral("a/x.png"));
        const QString sourceB = dir.filePath(QStringLiteral("b/x.png"));
        const QString output = dir.filePath(QStringLiteral("out/x.png"));
        writeFile(sourceA, "a");
        writeFile(sourceB, "b");

        OutputGuard guard;
        QCOMPARE(guard.check(sourceA, output), OutputGuard::Verdict::Clear);
        // The same file under another spelling is still the source.
        QCOMPARE(guard.check(sourceA, dir.filePath(QStringLiteral("b/../a/x.png"))),
                 OutputGuard::Verdict::WouldReplaceSource);

        writeFile(output, "result of a");
        guard.recordWritten(sourceA, output);
        QCOMPARE(guard.check(sourceB, output), OutputGuard::Verdict::AlreadyWritten);
        QCOMPARE(guard.check(sourceA, output), OutputGuard::Verdict::Clear);
        // An earlier output from before this run may be replaced.
        QCOMPARE(OutputGuard().check(sourceB, output), OutputGuard::Verdict::Clear);
    }

    // File names may hold '%'; the creep may run past the end of the bar.
    void progressBarShowsWhatItIsGiven() {
        QProgressBar widget;
        widget.setRange(0, 100);
        widget.setValue(0);
        QProgressBarAdapter bar(&widget);
        bar.setText(QStringLiteral("Processing: 100%p %v.jpg"));
        QCOMPARE(widget.text().remove(kWordJoiner), QStringLiteral("Processing: 100%p %v.jpg"));
        QCOMPARE(bar.text(), QStringLiteral("Processing: 100%p %v.jpg"));
        const QList<std::pair<double, int>> values{{102.4, 100}, {-3, 0}, {12.5, 13}, {48, 48}};
        for (const auto& [value, shown] : values) {
            bar.setValue(value);
            QCOMPARE(widget.value(), shown);
            QCOMPARE(bar.value(), value);
        }
    }

    void doneMessage_data() {
        QTest::addColumn<int>("failed");
        QTest::addColumn<int>("attempted");
        QTest::addColumn<QString>("text");
        QTest::newRow("all well") << 0 << 3 << "Done.";
        QTest::newRow("one failed")
            << 1 << 3
            << "Done.\r\n\r\n1 of 3 file(s) could not be enlarged:\r\nf1.jpg: "
               "the file is damaged or incomplete (detail 1)";
        QString ten = QStringLiteral("Done.\r\n\r\n10 of 10 file(s) could not be enlarged:");
        QString eleven = QStringLiteral("Done.\r\n\r\n11 of 12 file(s) could not be enlarged:");
        for (int i = 1; i <= 10; ++i) {
            const QString line =
                QStringLiteral("\r\nf%1.jpg: the file is damaged or incomplete (detail %1)").arg(i);
            ten += line;
            eleven += line;
        }
        QTest::newRow("ten listed") << 10 << 10 << ten;
        QTest::newRow("more than ten") << 11 << 12 << eleven + QStringLiteral("\r\n...");
    }
    void doneMessage() {
        QFETCH(int, failed);
        QFETCH(int, attempted);
        QFETCH(QString, text);
        QList<FailedConversion> failures;
        for (int i = 1; i <= failed; ++i) {
            failures.append({QStringLiteral("f%1.jpg").arg(i), ConversionOutcome::Damaged,
                             QStringLiteral("detail %1").arg(i)});
        }
        QCOMPARE(quorvel::doneMessage(failures, attempted), text);
    }

    // Every way a conversion can end has its one text; the converter's status
    // numbers are its documented ones.
    void outcomeAndReason_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<QString>("reason");
        QTest::newRow("converted") << 0 << false << "";
        QTest::newRow("3 damaged") << 3 << false << reasonText(ConversionOutcome::Damaged);
        QTest::newRow("4 not a picture")
            << 4 << false << reasonText(ConversionOutcome::NotAPicture);
        QTest::newRow("5 too large") << 5 << false << reasonText(ConversionOutcome::TooLarge);
        QTest::newRow("6 not written") << 6 << false << reasonText(ConversionOutcome::NotWritten);
        QTest::newRow("7 internal") << 7 << false << reasonText(ConversionOutcome::InternalError);
        QTest::newRow("2 refused command")
            << 2 << false << reasonText(ConversionOutcome::InternalError);
        QTest::newRow("undocumented 1")
            << 1 << false << reasonText(ConversionOutcome::InternalError);
        QTest::newRow("not started")
            << -2147221451 << false << reasonText(ConversionOutcome::NotStarted);
        QTest::newRow("signal") << 134 << true << reasonText(ConversionOutcome::Stopped);
        QTest::newRow("signal after 0") << 0 << true << reasonText(ConversionOutcome::Stopped);
    }
    void outcomeAndReason() {
        QFETCH(int, result);
        QFETCH(bool, crashed);
        QFETCH(QString, reason);
        QCOMPARE(reasonText(outcomeOf(result, crashed)), reason);
    }

    void reasonTextsAreExact() {
        QCOMPARE(reasonText(ConversionOutcome::Damaged),
                 QStringLiteral("the file is damaged or incomplete"));
        QCOMPARE(reasonText(ConversionOutcome::NotAPicture),
                 QStringLiteral("not a picture format this program reads"));
        QCOMPARE(reasonText(ConversionOutcome::TooLarge),
                 QStringLiteral("the picture or its result is too large"));
        QCOMPARE(reasonText(ConversionOutcome::NotWritten),
                 QStringLiteral("the result could not be written"));
        QCOMPARE(reasonText(ConversionOutcome::InternalError), QStringLiteral("an internal error"));
        QCOMPARE(reasonText(ConversionOutcome::NotStarted),
                 QStringLiteral("the converter could not be started"));
        QCOMPARE(reasonText(ConversionOutcome::Stopped),
                 QStringLiteral("the converter stopped unexpectedly"));
        QCOMPARE(failureLine({QStringLiteral("a.png"), ConversionOutcome::NotStarted, QString()}),
                 QStringLiteral("a.png: the converter could not be started"));
    }

    void converterDetail_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("detail");
        QTest::newRow("source named")
            << "nconvert: /in/broken.jpg: corrupt or truncated JPEG (jpeg: Premature end)"
            << "corrupt or truncated JPEG (jpeg: Premature end)";
        QTest::newRow("output named") << "nconvert: /out: x/a.png: cannot create a file"
                                      << "cannot create a file";
        QTest::newRow("path holding the separator")
            << "nconvert: /in/a: b.jpg: not a BMP, JPEG, GIF or PNG picture"
            << "not a BMP, JPEG, GIF or PNG picture";
        QTest::newRow("another subject") << "nconvert: 0%: a zero percentage"
                                         << "a zero percentage";
        QTest::newRow("no subject") << "nconvert: this build carries no converter"
                                    << "this build carries no converter";
        QTest::newRow("not the converter's form") << "Segmentation fault"
                                                  << "Segmentation fault";
        QTest::newRow("nothing said") << ""
                                      << "";
        QTest::newRow("cut") << "nconvert: /in/a: b.jpg: " + QString(300, QLatin1Char('y'))
                             << QString(197, QLatin1Char('y')) + "...";
        QTest::newRow("cut before half a character")
            << "nconvert: /in/a: b.jpg: " + QString(196, QLatin1Char('y')) +
                   QString::fromUtf8("\U0001F600\U0001F600\U0001F600")
            << QString(196, QLatin1Char('y')) + "...";
    }
    void converterDetail() {
        QFETCH(QString, line);
        QFETCH(QString, detail);
        const QStringList subjects{QStringLiteral("/in/a: b.jpg"), QStringLiteral("/out: x/a.png"),
                                   QStringLiteral("/in/broken.jpg")};
        QCOMPARE(quorvel::converterDetail(line, subjects), detail);
        QVERIFY(quorvel::converterDetail(line, subjects).size() <= kMaxDetailLength);
    }

private:
    std::optional<QTemporaryDir> m_dir;
};

QTEST_MAIN(EnlargeFilesTest)
#include "tst_enlargefiles.moc"
