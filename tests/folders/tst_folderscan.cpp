// SPDX-License-Identifier: MIT
#include "folders/filetests.h"
#include "folders/folderfilesystem.h"
#include "folders/folderreadings.h"
#include "folders/getsubdirectories.h"
#include "platform/apperror.h"
#include "platform/errortrap.h"
#include "platform/filenameencoding.h"
#include "platform/testing/scripteddialogs.h"
#include "sandbox.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTest>
#include <QTimer>

using namespace quorvel;

namespace {
// The real file system with single answers replaced, keyed by the folder path
// as the scan holds it (with its trailing separator).
class StagedFileSystem : public FolderFileSystem {
public:
    struct Failure {
        int error;
        int namesBefore = 0; // subfolders visited before the error
    };
    QHash<QString, int> attributeOf;
    QSet<QString> unreadableAttributes;
    QSet<QString> roots;
    QHash<QString, Failure> failures;
    QSet<QString> failingOpen;

    void openFolder(const QString& path) const override {
        if (failingOpen.contains(path)) {
            throw AppError::fromNumber(errnum::kDeviceIo);
        }
        FolderFileSystem::openFolder(path);
    }
    int attributes(const QString& path) const override {
        if (unreadableAttributes.contains(path)) {
            throw AppError::fromNumber(errnum::kDeviceIo);
        }
        return attributeOf.contains(path) ? attributeOf.value(path)
                                          : FolderFileSystem::attributes(path);
    }
    bool isRootFolder(const QString& path) const override {
        return roots.contains(path) || FolderFileSystem::isRootFolder(path);
    }
    void forEachSubFolder(const QString& path, const std::function<void(const QString&)>& visit,
                          FolderReadings* keep) const override {
        if (!failures.contains(path)) {
            FolderFileSystem::forEachSubFolder(path, visit, keep);
            return;
        }
        const Failure failure = failures.value(path);
        int visited = 0;
        FolderFileSystem::forEachSubFolder(
            path,
            [&](const QString& name) {
                if (visited++ < failure.namesBefore) {
                    visit(name);
                }
            },
            keep);
        throw AppError::fromNumber(failure.error);
    }
};

// The tree most cases use: R with A (A1) and B (B1), a file in each.
const QStringList kTree{"A/A1/", "B/B1/", "r.jpg", "A/a.jpg", "B/b.jpg", "A/A1/a1.jpg"};

QStringList scanned(const Sandbox& box, const FolderFileSystem& fs, ScriptedDialogs& dialogs) {
    QStringList folders{box.folder()};
    GetSubDirectories2016(folders, true, dialogs, fs);
    return folders;
}

QStringList folders(const Sandbox& box, const QStringList& entries) {
    QStringList out;
    for (const QString& entry : entries) {
        out << box.folder(entry);
    }
    return out;
}
} // namespace

class FolderScanTest : public QObject {
    Q_OBJECT
private slots:
    void breadthFirstOrder();
    void folderWithoutSubfoldersIsUnchanged();
    void hiddenSystemFolders_data();
    void hiddenSystemFolders();
    void unsafeNamesAreLeftOutWithTheirSubtree();
    void pathLengthLimit_data();
    void pathLengthLimit();
    void unreadableFolder_data();
    void unreadableFolder();
    void everyUnreadableFolderIsSkipped_data();
    void everyUnreadableFolderIsSkipped();
    void errorsBeforeAnyFolderIsReadAreShown();
    void failingAttributeTestLetsTheFolderThrough();
    void linksBackIntoTheTreeAreNotFollowed();
    void twoLinksToOneFolderAreFollowedOnce();
    void danglingLinkLeavesItsFolderReadable();
    void scanKeepsTheWindowResponsive();

    void listFolderFilesBounds_data();
    void listFolderFilesBounds();
    void listFolderFilesPatterns_data();
    void listFolderFilesPatterns();
    void isExistingFile_data();
    void isExistingFile();
    void unsafeNameChars_data();
    void unsafeNameChars();
};

void FolderScanTest::breadthFirstOrder() {
    Sandbox box(kTree);
    ScriptedDialogs dialogs;
    QCOMPARE(scanned(box, FolderFileSystem::real(), dialogs),
             folders(box, {"", "A", "B", "A/A1", "B/B1"}));
    QVERIFY(dialogs.satisfied());
}

void FolderScanTest::folderWithoutSubfoldersIsUnchanged() {
    Sandbox box({"only.jpg"});
    ScriptedDialogs dialogs;
    QCOMPARE(scanned(box, FolderFileSystem::real(), dialogs), folders(box, {""}));
}

void FolderScanTest::hiddenSystemFolders_data() {
    QTest::addColumn<QString>("staged");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("asRoot");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("hidden system folder") << "A" << 22 << false << QStringList{"", "B", "B/B1"};
    QTest::newRow("hidden system alias") << "A" << 1046 << false << QStringList{"", "B", "B/B1"};
    QTest::newRow("hidden only") << "A" << 18 << false << QStringList{"", "A", "B", "A/A1", "B/B1"};
    QTest::newRow("chosen folder keeps itself") << "" << 22 << false << QStringList{""};
    QTest::newRow("root passes") << "" << 22 << true << QStringList{"", "A", "B", "A/A1", "B/B1"};
}

void FolderScanTest::hiddenSystemFolders() {
    QFETCH(QString, staged);
    QFETCH(int, bits);
    QFETCH(bool, asRoot);
    QFETCH(QStringList, expected);
    Sandbox box(kTree);
    StagedFileSystem fs;
    fs.attributeOf.insert(box.folder(staged), bits);
    if (asRoot) {
        fs.roots.insert(box.folder(staged));
    }
    ScriptedDialogs dialogs;
    QCOMPARE(scanned(box, fs, dialogs), folders(box, expected));
}

void FolderScanTest::unsafeNamesAreLeftOutWithTheirSubtree() {
    Sandbox box({"plain/", "bell\x07/inner/", "del\x7F/"});
    box.addRaw("caf\xE9/");
    box.addRaw("caf\xE9/inner/");
    ScriptedDialogs dialogs;
    QCOMPARE(scanned(box, FolderFileSystem::real(), dialogs), folders(box, {"", "plain"}));
}

void FolderScanTest::pathLengthLimit_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("childGathered");
    QTest::newRow("259 with its separator") << 259 << true;
    QTest::newRow("260 with its separator") << 260 << false;
}

void FolderScanTest::pathLengthLimit() {
    QFETCH(int, length);
    QFETCH(bool, childGathered);
    Sandbox box;
    // A two-level way down whose second folder's path (with separator) is exactly `length`.
    const QString first(100, QLatin1Char('p'));
    const int rest = length - int(box.folder().size() + first.size() + 2);
    QVERIFY(rest > 0 && rest < 256);
    const QString deep = first + QLatin1Char('/') + QString(rest, QLatin1Char('q'));
    box.add(deep + "/child/");
    QCOMPARE(box.folder(deep).size(), length);

    ScriptedDialogs dialogs;
    QStringList expected = folders(box, {"", first, deep});
    if (childGathered) {
        expected << box.folder(deep + "/child");
    }
    QCOMPARE(scanned(box, FolderFileSystem::real(), dialogs), expected);
}

void FolderScanTest::unreadableFolder_data() {
    QTest::addColumn<QString>("staged");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("namesBefore");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("permission denied") << "A" << 70 << 0 << QStringList{"", "B", "B/B1"};
    QTest::newRow("subfolder found before the error stays")
        << "A" << 70 << 1 << QStringList{"", "B", "A/A1", "B/B1"};
    QTest::newRow("vanished") << "B" << 76 << 0 << QStringList{"", "A", "A/A1"};
    QTest::newRow("chosen folder unreadable") << "" << 70 << 0 << QStringList{};
    QTest::newRow("other errors remove nothing")
        << "A" << 57 << 0 << QStringList{"", "A", "B", "B/B1"};
}

void FolderScanTest::unreadableFolder() {
    QFETCH(QString, staged);
    QFETCH(int, error);
    QFETCH(int, namesBefore);
    QFETCH(QStringList, expected);
    Sandbox box(kTree);
    StagedFileSystem fs;
    fs.failures.insert(box.folder(staged), {error, namesBefore});
    ScriptedDialogs dialogs;
    QCOMPARE(scanned(box, fs, dialogs), folders(box, expected));
    QVERIFY(dialogs.satisfied());
}

void FolderScanTest::everyUnreadableFolderIsSkipped_data() {
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("unreadable");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("three unreadable siblings of readable folders")
        << QStringList{"A/A1/", "B/", "u1/", "u2/", "u3/"} << QStringList{"u1", "u2", "u3"}
        << QStringList{"", "A", "B", "A/A1"};
    QTest::newRow("one unreadable here, three under a readable neighbour")
        << QStringList{"A/v1/", "A/v2/", "A/v3/", "A/A1/", "B/B1/", "u/"}
        << QStringList{"u", "A/v1", "A/v2", "A/v3"} << QStringList{"", "A", "B", "A/A1", "B/B1"};
    QTest::newRow("two on one level") << QStringList{"A/", "B/", "C/C1/"} << QStringList{"A", "B"}
                                      << QStringList{"", "C", "C/C1"};
}

void FolderScanTest::everyUnreadableFolderIsSkipped() {
    QFETCH(QStringList, tree);
    QFETCH(QStringList, unreadable);
    QFETCH(QStringList, expected);
    Sandbox box(tree);
    StagedFileSystem fs;
    for (const QString& name : unreadable) {
        fs.failures.insert(box.folder(name), {errnum::kPermissionDenied});
    }
    ScriptedDialogs dialogs;
    QCOMPARE(scanned(box, fs, dialogs), folders(box, expected));
    QVERIFY(dialogs.satisfied());
}

void FolderScanTest::errorsBeforeAnyFolderIsReadAreShown() {
    Sandbox box(kTree);
    StagedFileSystem fs;
    fs.failingOpen.insert(box.folder());
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    QCOMPARE(scanned(box, fs, dialogs), folders(box, {"", "A", "B", "A/A1", "B/B1"}));
    QVERIFY(dialogs.satisfied());
    QCOMPARE(folderScanLocation(),
             QStringLiteral("in MorlanTitle2021/08/31.AddFolder.GetSubDirectories2016 "));
    QCOMPARE(dialogs.shown().at(0).text, applicationErrorMessage(QStringLiteral("Device I/O error"),
                                                                 folderScanLocation(), 112));
    QCOMPARE(dialogs.shown().at(0).title, QStringLiteral("Application Error"));
}

void FolderScanTest::failingAttributeTestLetsTheFolderThrough() {
    Sandbox box(kTree);
    StagedFileSystem fs;
    fs.unreadableAttributes.insert(box.folder("A"));
    ScriptedDialogs dialogs;
    // Once while A's own level is gathered, once while it is appended.
    dialogs.expectMessage().expectMessage();
    QCOMPARE(scanned(box, fs, dialogs), folders(box, {"", "A", "B", "A/A1", "B/B1"}));
    QVERIFY(dialogs.satisfied());
    QVERIFY(dialogs.shown().at(0).text.contains(QStringLiteral("at line 116\r")));
    QVERIFY(dialogs.shown().at(1).text.contains(QStringLiteral("at line 158\r")));
}

void FolderScanTest::linksBackIntoTheTreeAreNotFollowed() {
    Sandbox box({"A/A1/", "B/"});
    box.link("A/up", "");
    box.link("B/twin", "A");
    ScriptedDialogs dialogs;
    QCOMPARE(scanned(box, FolderFileSystem::real(), dialogs), folders(box, {"", "A", "B", "A/A1"}));
}

void FolderScanTest::twoLinksToOneFolderAreFollowedOnce() {
    Sandbox box({"R/", "X/X1/"});
    box.link("R/L1", "X");
    box.link("R/L2", "X");
    ScriptedDialogs dialogs;
    QStringList list{box.folder("R")};
    GetSubDirectories2016(list, true, dialogs, FolderFileSystem::real());
    QCOMPARE(list, folders(box, {"R", "R/L1", "R/L1/X1"}));
}

void FolderScanTest::danglingLinkLeavesItsFolderReadable() {
    Sandbox box({"A/A1/", "A/a.jpg"});
    box.link("A/gone", "missing");
    ScriptedDialogs dialogs;
    QCOMPARE(scanned(box, FolderFileSystem::real(), dialogs), folders(box, {"", "A", "A/A1"}));
    QVERIFY(dialogs.satisfied());
}

void FolderScanTest::scanKeepsTheWindowResponsive() {
    Sandbox box(kTree);
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(0);
    ScriptedDialogs dialogs;
    scanned(box, FolderFileSystem::real(), dialogs);
    // Five folders visited and four subfolders seen; every yield lets the timer in.
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
}

void FolderScanTest::listFolderFilesBounds_data() {
    QTest::addColumn<int>("files");
    QTest::newRow("empty") << 0;
    QTest::newRow("exactly the first capacity") << 100;
    QTest::newRow("one past it") << 101;
    QTest::newRow("past the first growth") << 151;
}

void FolderScanTest::listFolderFilesBounds() {
    QFETCH(int, files);
    Sandbox box({"sub.jpg/"});
    for (int i = 0; i < files; ++i) {
        box.add(QStringLiteral("f%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    }
    const FileNameArray names = ListFolderFiles(box.path(), QStringLiteral("*.jpg"));
    QCOMPARE(names.upperBound(), files);
    if (files > 0) {
        QCOMPARE(names.at(1), QStringLiteral("f000.jpg"));
        QCOMPARE(names.at(files),
                 QStringLiteral("f%1.jpg").arg(files - 1, 3, 10, QLatin1Char('0')));
    } else {
        QCOMPARE(names.at(0), QString());
    }
}

void FolderScanTest::listFolderFilesPatterns_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("every file, with a dot or without")
        << "*.*" << QStringList{".hidden.jpg", "a.jpg", "B.JPG", "link.jpg", "README"};
    QTest::newRow("case is ignored")
        << "*.JPG" << QStringList{".hidden.jpg", "a.jpg", "B.JPG", "link.jpg"};
    QTest::newRow("a typed leading dot matches nothing") << "*..jpg" << QStringList{};
    QTest::newRow("other extension") << "*.png" << QStringList{};
}

void FolderScanTest::listFolderFilesPatterns() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, expected);
    Sandbox box({"a.jpg", "B.JPG", ".hidden.jpg", "README", "folder.jpg/", "folder/"});
    box.link("link.jpg", "a.jpg");
    box.link("dangling.jpg", "missing.jpg");
    QCOMPARE(ListFolderFiles(box.folder(), pattern).names(), expected);
}

void FolderScanTest::isExistingFile_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << "a.jpg" << true;
    QTest::newRow("link to a file") << "link.jpg" << true;
    QTest::newRow("folder") << "dir" << false;
    QTest::newRow("link to a folder") << "dirlink" << false;
    QTest::newRow("missing") << "missing.jpg" << false;
}

void FolderScanTest::isExistingFile() {
    QFETCH(QString, entry);
    QFETCH(bool, exists);
    Sandbox box({"a.jpg", "ro.jpg", "dir/"});
    box.makeReadOnly("ro.jpg");
    box.link("link.jpg", "a.jpg");
    box.link("dirlink", "dir");
    box.link("dangling", "missing.jpg");
    QCOMPARE(IsExistingFile(box.path(entry)), exists);
    QVERIFY(!IsExistingFile(QString()));
}

void FolderScanTest::unsafeNameChars_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("unsafe");
    QTest::newRow("plain") << "Holiday 2021" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("question mark") << "what?" << false;
    QTest::newRow("typographic apostrophe") << QString::fromUtf8("John’s Photos") << false;
    QTest::newRow("en dash") << QString::fromUtf8("Café–Bar") << false;
    QTest::newRow("CJK") << QString::fromUtf8("日本") << false;
    QTest::newRow("Greek") << QString::fromUtf8("Ωmega") << false;
    QTest::newRow("emoji") << QString::fromUtf8("😀") << false;
    QTest::newRow("control character") << "a\tb" << true;
    QTest::newRow("delete") << "a\x7F" << true;
    QTest::newRow("bytes that did not decode") << decodeFileName("caf\xE9") << true;
}

void FolderScanTest::unsafeNameChars() {
    QFETCH(QString, name);
    QFETCH(bool, unsafe);
    QCOMPARE(HasUnsafeNameChars(name), unsafe);
}

QTEST_GUILESS_MAIN(FolderScanTest)
#include "tst_folderscan.moc"
