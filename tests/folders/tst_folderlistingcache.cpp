// SPDX-License-Identifier: MIT
#include "folders/filetests.h"
#include "folders/folderfilesystem.h"
#include "folders/folderlistingcache.h"
#include "folders/getsubdirectories.h"
#include "platform/apperror.h"
#include "platform/testing/scripteddialogs.h"
#include "sandbox.h"

#include <QTest>

using namespace quorvel;

namespace {
// Names the listing treats differently: case, hidden, links to a file, to a
// folder and to nothing, a folder named like a picture, a file without a dot.
const QStringList kTree{"a.jpg",   "B.JPG",        ".hidden.jpg", "README",     "c.png",
                        "~t.jpg",  "folder.jpg/",  "A/a1.jpg",    "A/A1/x.JPG", "B/",
                        "B/b.gif", "B/.hid/y.jpg", "A/Zeta.jpg",  "A/alpha.jpg"};

void addLinks(Sandbox& box) {
    box.link("link.jpg", "a.jpg");
    box.link("dirlink.jpg", "folder.jpg");
    box.link("dangling.jpg", "missing.jpg");
}

// Scans the sandbox with readings kept in `cache`.
QStringList scanKeeping(const Sandbox& box, FolderListingCache& cache) {
    ScriptedDialogs dialogs;
    QStringList folders{box.folder()};
    const FolderFileSystem& fs = FolderFileSystem::real();
    FolderListingCache* outer = fs.keepReadingsIn(&cache);
    GetSubDirectories2016(folders, true, dialogs, fs);
    fs.keepReadingsIn(outer);
    return folders;
}
} // namespace

class FolderListingCacheTest : public QObject {
    Q_OBJECT
private slots:
    void keptReadingListsLikeTheDisk_data();
    void keptReadingListsLikeTheDisk();
    void keptReadingSparesTheSecondRead();
    void folderIsFoundUnderEverySpellingOfItsEnd();
    void onlyCompleteReadingsAreKept();
    void lendingNestsAndEnds();
    void danglingLinkLeavesItsFolderReadable();
};

void FolderListingCacheTest::keptReadingListsLikeTheDisk_data() {
    QTest::addColumn<QString>("pattern");
    QTest::newRow("one extension") << "*.jpg";
    QTest::newRow("capitals") << "*.JPG";
    QTest::newRow("every file") << "*.*";
    QTest::newRow("single-character wildcard") << "?.jpg";
    QTest::newRow("nothing matches") << "*..jpg";
}

void FolderListingCacheTest::keptReadingListsLikeTheDisk() {
    QFETCH(QString, pattern);
    Sandbox box(kTree);
    addLinks(box);
    FolderListingCache cache;
    const QStringList folders = scanKeeping(box, cache);
    QCOMPARE(cache.size(), int(folders.size()));
    for (const QString& folder : folders) {
        QCOMPARE(ListFolderFiles(folder, pattern, cache).names(),
                 ListFolderFiles(folder, pattern).names());
    }
}

void FolderListingCacheTest::keptReadingSparesTheSecondRead() {
    Sandbox box({"a.jpg", "A/b.jpg"});
    FolderListingCache cache;
    scanKeeping(box, cache);
    // A file made after the scan shows the listing came from the scan's reading.
    box.add("A/late.jpg");
    QCOMPARE(ListFolderFiles(box.path("A"), "*.jpg", cache).names(), QStringList{"b.jpg"});
    QCOMPARE(ListFolderFiles(box.path("A"), "*.jpg").names(), (QStringList{"b.jpg", "late.jpg"}));
    // A folder the scan never read comes from the disk.
    const FolderListingCache empty;
    QCOMPARE(ListFolderFiles(box.path("A"), "*.jpg", empty).names(),
             (QStringList{"b.jpg", "late.jpg"}));
}

void FolderListingCacheTest::folderIsFoundUnderEverySpellingOfItsEnd() {
    FolderListingCache cache;
    FolderEntries reading;
    reading.entries.push_back({"a.jpg", "a.jpg", EntryKind::File});
    cache.keep("/pics/", reading);
    for (const QString& spelling : QStringList{"/pics", "/pics/", "/pics//"}) {
        QVERIFY2(cache.find(spelling) != nullptr, qPrintable(spelling));
    }
    QVERIFY(cache.find("/pics2/") == nullptr);
    QVERIFY(cache.find("/pic") == nullptr);
    QVERIFY(cache.find("/") == nullptr);

    cache.keep("//", reading);
    QVERIFY(cache.find("/") != nullptr);
    QCOMPARE(cache.size(), 2);
}

void FolderListingCacheTest::onlyCompleteReadingsAreKept() {
    Sandbox box({"A/"});
    FolderListingCache cache;
    const FolderFileSystem& fs = FolderFileSystem::real();
    fs.keepReadingsIn(&cache);
    QVERIFY_THROWS_EXCEPTION(AppError, fs.forEachSubFolder(box.folder("missing"), [](auto&) {}));
    QCOMPARE(cache.size(), 0);
    // A visit that raises still leaves a reading that was complete.
    QVERIFY_THROWS_EXCEPTION(AppError, fs.forEachSubFolder(box.folder(), [](const QString&) {
        throw AppError::fromNumber(errnum::kDeviceIo);
    }));
    fs.keepReadingsIn(nullptr);
    QVERIFY(cache.find(box.folder()) != nullptr);
}

void FolderListingCacheTest::lendingNestsAndEnds() {
    Sandbox box({"A/", "B/"});
    const FolderFileSystem& fs = FolderFileSystem::real();
    FolderListingCache outer;
    FolderListingCache inner;
    QCOMPARE(fs.keepReadingsIn(&outer), nullptr);
    QCOMPARE(fs.keepReadingsIn(&inner), &outer);
    fs.forEachSubFolder(box.folder("A"), [](const QString&) {});
    QCOMPARE(fs.keepReadingsIn(&outer), &inner);
    fs.forEachSubFolder(box.folder("B"), [](const QString&) {});
    QCOMPARE(fs.keepReadingsIn(nullptr), &outer);
    fs.forEachSubFolder(box.folder(), [](const QString&) {});
    QVERIFY(inner.find(box.folder("A")) != nullptr);
    QVERIFY(inner.find(box.folder("B")) == nullptr);
    QVERIFY(outer.find(box.folder("B")) != nullptr);
    QVERIFY(outer.find(box.folder()) == nullptr);
}

void FolderListingCacheTest::danglingLinkLeavesItsFolderReadable() {
    Sandbox box({"A/A1/", "A/a.jpg"});
    box.link("A/gone", "missing");
    ScriptedDialogs dialogs;
    QStringList folders{box.folder()};
    GetSubDirectories2016(folders, true, dialogs, FolderFileSystem::real());
    QCOMPARE(folders, (QStringList{box.folder(), box.folder("A"), box.folder("A/A1")}));
    QVERIFY(dialogs.satisfied());
}

QTEST_GUILESS_MAIN(FolderListingCacheTest)
#include "tst_folderlistingcache.moc"
