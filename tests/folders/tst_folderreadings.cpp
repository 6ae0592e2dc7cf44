// SPDX-License-Identifier: MIT
#include "folders/filetests.h"
#include "folders/folderfilesystem.h"
#include "folders/folderreadings.h"
#include "sandbox.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTest>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

using namespace quorvel;

namespace {
// The real file system, but for the type of file system a folder is on, and
// counting the fresh readings of the folders it is told of.
class StagedFileSystem : public FolderFileSystem {
public:
    QHash<QString, qint64> typeOf;
    QSet<QString> typeUnknown;
    mutable QHash<QString, int> freshReadings;

    FolderEntries readFolder(const QString& path) const override {
        if (freshReadings.contains(path)) {
            ++freshReadings[path];
        }
        return FolderFileSystem::readFolder(path);
    }
    std::optional<qint64> fileSystemType(const QString& path) const override {
        if (typeUnknown.contains(path)) {
            return std::nullopt;
        }
        return typeOf.contains(path) ? typeOf.value(path) : FolderFileSystem::fileSystemType(path);
    }
};

// statfs's type number of ext4 (and of ext2 and ext3).
constexpr qint64 kExt4 = 0xEF53;
} // namespace

// The reading the folder scan makes of every folder, and when the listing of
// its files may use it again.
class FolderReadingsTest : public QObject {
    Q_OBJECT
private slots:
    void listingReusesOnlyUnchangedReadings();
    void linksAreLookedAtAfresh();
    void readingsAreKeptOnlyWhereTimesAreFine_data();
    void readingsAreKeptOnlyWhereTimesAreFine();
};

// The scan's reading of a folder serves the listing of its files only while the folder is
// provably unchanged: never for a folder changed within the last second, and not after a change.
void FolderReadingsTest::listingReusesOnlyUnchangedReadings() {
    Sandbox box({"a.jpg", "b.jpg"});
    const QString folder = box.folder();
    FolderReadings justChanged;
    justChanged.read(folder, kExt4);
    QVERIFY(justChanged.unchanged(folder) == nullptr);

    FolderReadings anyAge(std::chrono::hours(-1));
    QCOMPARE(anyAge.read(folder, kExt4).entries.size(), size_t(2));
    QVERIFY(anyAge.unchanged(folder) != nullptr);
    QVERIFY(QFile::remove(box.path(QStringLiteral("b.jpg"))));
    // The removal's own time may fall in the clock tick of the reading; an older time set
    // afterwards makes the change plain whatever the tick.
    const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), hourAgo, 0), 0);
    QVERIFY(anyAge.unchanged(folder) == nullptr);
    QCOMPARE(
        ListFolderFiles(folder, QStringLiteral("*.jpg"), FolderFileSystem::real(), &anyAge).names(),
        QStringList{QStringLiteral("a.jpg")});
}

// What a link leads to can change without its folder changing: a link whose target went after
// the scan read the folder is no file of the folder any more.
void FolderReadingsTest::linksAreLookedAtAfresh() {
    Sandbox box({"F/plain.jpg", "elsewhere/target.jpg", "elsewhere/dir/"});
    box.link("F/gone.jpg", "elsewhere/target.jpg");
    box.link("F/now-a-folder.jpg", "elsewhere/dir");
    const QString folder = box.folder("F");
    StagedFileSystem fs;
    fs.typeOf.insert(folder, kExt4);
    FolderReadings anyAge(std::chrono::hours(-1));
    fs.forEachSubFolder(
        folder, [](const QString&) {}, &anyAge);
    QCOMPARE(ListFolderFiles(folder, QStringLiteral("*.jpg"), fs).names(),
             (QStringList{"gone.jpg", "plain.jpg"}));

    QVERIFY(QFile::remove(box.path(QStringLiteral("elsewhere/target.jpg"))));
    QVERIFY(anyAge.unchanged(folder) != nullptr); // the reading itself still serves
    QCOMPARE(ListFolderFiles(folder, QStringLiteral("*.jpg"), fs, &anyAge).names(),
             QStringList{"plain.jpg"});
}

// A reading is kept only on a file system whose times are fine enough to prove a folder
// unchanged; on any other, the files are listed from a fresh reading.
void FolderReadingsTest::readingsAreKeptOnlyWhereTimesAreFine_data() {
    QTest::addColumn<qint64>("type");
    QTest::addColumn<bool>("kept");
    QTest::newRow("ext4") << kExt4 << true;
    QTest::newRow("XFS") << qint64(0x58465342) << true;
    QTest::newRow("Btrfs") << qint64(0x9123683E) << true;
    QTest::newRow("tmpfs") << qint64(0x01021994) << true;
    QTest::newRow("FAT, two-second clock") << qint64(0x4D44) << false;
    QTest::newRow("exFAT") << qint64(0x2011BAB0) << false;
    QTest::newRow("NFS, another machine's clock") << qint64(0x6969) << false;
    QTest::newRow("SMB") << qint64(0xFE534D42) << false;
    QTest::newRow("overlay") << qint64(0x794C7630) << false;
    QTest::newRow("FUSE") << qint64(0x65735546) << false;
    QTest::newRow("unknown") << qint64(-1) << false;
}

void FolderReadingsTest::readingsAreKeptOnlyWhereTimesAreFine() {
    QFETCH(qint64, type);
    QFETCH(bool, kept);
    QCOMPARE(keepsFineTimes(type), kept);

    Sandbox box({"a.jpg"});
    const QString folder = box.folder();
    StagedFileSystem fs;
    if (type >= 0) {
        fs.typeOf.insert(folder, type);
    } else {
        fs.typeUnknown.insert(folder);
    }
    fs.freshReadings.insert(folder, 0);
    FolderReadings anyAge(std::chrono::hours(-1));
    fs.forEachSubFolder(
        folder, [](const QString&) {}, &anyAge);
    QCOMPARE(anyAge.unchanged(folder) != nullptr, kept);
    QCOMPARE(ListFolderFiles(folder, QStringLiteral("*.jpg"), fs, &anyAge).names(),
             QStringList{"a.jpg"});
    QCOMPARE(fs.freshReadings.value(folder), kept ? 0 : 1);
}

QTEST_GUILESS_MAIN(FolderReadingsTest)
#include "tst_folderreadings.moc"
