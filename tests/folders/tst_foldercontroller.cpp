// SPDX-License-Identifier: MIT
#include "folders/browseforfolder.h"
#include "folders/foldercontroller.h"
#include "folders/folderfilesystem.h"
#include "imagelist/imagelist.h"
#include "platform/apperror.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/windowpointer.h"
#include "sandbox.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTest>
#include <functional>
#include <memory>

using namespace quorvel;

namespace {
// Records the pointer while the scan runs, and stages what running as root
// cannot give: folders that cannot be read, or listed but not entered; it can
// also act once a chosen folder has been read.
class WatchedFileSystem : public FolderFileSystem {
public:
    explicit WatchedFileSystem(const WindowPointer& pointer) : m_pointer(pointer) {}
    QSet<QString> unreadable;
    QSet<QString> unenterable;
    QHash<QString, std::function<void()>> afterReading;
    mutable QList<int> pointerDuringScan;

    void forEachSubFolder(const QString& path, const std::function<void(const QString&)>& visit,
                          FolderReadings* keep) const override {
        pointerDuringScan << m_pointer.mousePointer();
        if (unreadable.contains(path)) {
            throw AppError::fromNumber(errnum::kPermissionDenied);
        }
        FolderFileSystem::forEachSubFolder(path, visit, keep);
        if (afterReading.contains(path)) {
            afterReading.value(path)();
        }
    }
    bool isEnterable(const QString& path) const override {
        return !unenterable.contains(path) && FolderFileSystem::isEnterable(path);
    }

private:
    const WindowPointer& m_pointer;
};

// R holds a mix of names; A, B and A/A1 one picture each.
const QStringList kTree{"a.jpg",  "b.JPG", "~tmp.jpg", "x~y.jpg",  ".dot.jpg",      ".ro.jpg",
                        "README", "c.png", "A/a1.jpg", "B/b1.jpg", "A/A1/deep.jpg", "d.jpg/"};
} // namespace

class FolderControllerTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void addAll_data();
    void addAll();
    void addAllAsksExactly();
    void sameFolderTwiceAddsEveryFileTwice();
    void emptyExtensionStopsBeforeTheBrowser();
    void extensionIsSavedWhenTheBrowserIsCancelled();
    void hourglassDuringTheScanAndDefaultAfter();
    void unreadableChosenFolderAddsNothing();
    void unreadableFoldersKeepTheirReadableNeighbours();
    void onlyFilesThatOpenBecomeRows();
    void foldersOfEveryScriptAreFound();

    void outputFolder_data();
    void outputFolder();
    void cancelLeavesTypedOutputFolder();
    void outputAndAddFoldersAreRememberedApart();
    void helpNotice();
    void browserKeepsStartFolderAndCutsAtNul();

private:
    void setUpController(const FolderFileSystem* fs = nullptr);
    QStringList rows(const Sandbox& box, const QStringList& entries) const;

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<PlainWindowPointer> m_pointer;
    std::unique_ptr<ImageListModel> m_model;
    std::unique_ptr<ImageList> m_list;
    QString m_outputBox;
    std::unique_ptr<FolderController> m_controller;
};

void FolderControllerTest::init() {
    m_config = std::make_unique<QTemporaryDir>();
    SettingsStore::setConfigFolder(m_config->path());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_settings = std::make_unique<SettingsStore>();
    m_pointer = std::make_unique<PlainWindowPointer>();
    m_model = std::make_unique<ImageListModel>();
    m_list = std::make_unique<ImageList>(*m_model);
    m_outputBox.clear();
    setUpController();
}

void FolderControllerTest::cleanup() {
    QVERIFY(m_dialogs->satisfied());
}

void FolderControllerTest::setUpController(const FolderFileSystem* fs) {
    m_controller = std::make_unique<FolderController>(
        FolderController::Services{*m_dialogs, *m_settings, *m_pointer, *m_list,
                                   [this](const QString& folder) { m_outputBox = folder; }, fs});
}

QStringList FolderControllerTest::rows(const Sandbox& box, const QStringList& entries) const {
    QStringList out;
    for (const QString& entry : entries) {
        out << box.path(entry);
    }
    return out;
}

void FolderControllerTest::addAll_data() {
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QStringList>("expected");
    const QStringList jpegs{".ro.jpg",  "a.jpg",    "b.JPG",        "x~y.jpg",
                            "A/a1.jpg", "B/b1.jpg", "A/A1/deep.jpg"};
    QTest::newRow("one extension, folder by folder") << "jpg" << jpegs;
    QTest::newRow("capitals match the same files") << "JPG" << jpegs;
    QTest::newRow("star takes every file")
        << "*" << QStringList{".ro.jpg", "a.jpg",    "b.JPG",    "c.png",        "README",
                              "x~y.jpg", "A/a1.jpg", "B/b1.jpg", "A/A1/deep.jpg"};
    QTest::newRow("a typed leading dot finds nothing") << ".jpg" << QStringList{};
    QTest::newRow("other extension") << "png" << QStringList{"c.png"};
}

void FolderControllerTest::addAll() {
    QFETCH(QString, extension);
    QFETCH(QStringList, expected);
    Sandbox box(kTree);
    box.makeReadOnly(".ro.jpg");
    m_dialogs->expectInput(extension).expectFolder(box.path());
    m_controller->addFolderTree();
    QCOMPARE(m_list->texts(), rows(box, expected));
    QCOMPARE(m_settings->get(settings::kExtension, "?"), extension);
    QCOMPARE(m_settings->get(settings::kLastFolder, "?"), box.path());
    QCOMPARE(m_pointer->mousePointer(), pointer::kDefault);
}

void FolderControllerTest::addAllAsksExactly() {
    Sandbox box({"a.jpg"});
    m_settings->save(settings::kLastFolder, box.path());
    m_dialogs->expectInput("jpg").expectFolder("");
    m_controller->addFolderTree();
    const auto& shown = m_dialogs->shown();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].text, QStringLiteral("Enter file extension to load:\r\r(* for all files, txt "
                                           "for all txt files, doc for all doc files, etc.)"));
    QCOMPARE(shown[0].title, QStringLiteral("Quorvel"));
    QCOMPARE(shown[0].preset, QStringLiteral("jpg"));
    QCOMPARE(shown[1].text, QStringLiteral("Please select folder:"));
    QCOMPARE(shown[1].preset, box.path());

    // The extension typed last is offered next time.
    m_dialogs->clear();
    m_dialogs->expectInput("").expectInput("");
    m_settings->save(settings::kExtension, "gif");
    m_controller->addFolderTree();
    QCOMPARE(m_dialogs->shown().at(0).preset, QStringLiteral("gif"));
    m_controller->addFolderTree();
}

void FolderControllerTest::sameFolderTwiceAddsEveryFileTwice() {
    Sandbox box({"a.jpg", "S/b.jpg"});
    m_dialogs->expectInput("jpg").expectFolder(box.path());
    m_dialogs->expectInput("jpg").expectFolder(box.path());
    m_controller->addFolderTree();
    m_controller->addFolderTree();
    const QStringList once = rows(box, {"a.jpg", "S/b.jpg"});
    QCOMPARE(m_list->texts(), once + once);
}

void FolderControllerTest::emptyExtensionStopsBeforeTheBrowser() {
    m_settings->save(settings::kExtension, "bmp");
    m_dialogs->expectInput("");
    m_controller->addFolderTree();
    QCOMPARE(m_settings->get(settings::kExtension, "?"), QStringLiteral("bmp"));
    QCOMPARE(m_list->count(), 0);
}

void FolderControllerTest::extensionIsSavedWhenTheBrowserIsCancelled() {
    m_settings->save(settings::kLastFolder, "/earlier");
    m_dialogs->expectInput("png").expectFolder("");
    m_controller->addFolderTree();
    QCOMPARE(m_settings->get(settings::kExtension, "?"), QStringLiteral("png"));
    QCOMPARE(m_settings->get(settings::kLastFolder, "?"), QStringLiteral("/earlier"));
    QCOMPARE(m_list->count(), 0);
    QCOMPARE(m_pointer->mousePointer(), pointer::kDefault);
}

void FolderControllerTest::hourglassDuringTheScanAndDefaultAfter() {
    Sandbox box({"a.jpg", "S/b.jpg"});
    WatchedFileSystem fs(*m_pointer);
    setUpController(&fs);
    m_dialogs->expectInput("jpg").expectFolder(box.path());
    m_controller->addFolderTree();
    QCOMPARE(fs.pointerDuringScan, (QList<int>{pointer::kHourglass, pointer::kHourglass}));
    QCOMPARE(m_pointer->mousePointer(), pointer::kDefault);
}

void FolderControllerTest::unreadableChosenFolderAddsNothing() {
    Sandbox box({"a.jpg", "S/b.jpg"});
    WatchedFileSystem fs(*m_pointer);
    fs.unreadable.insert(box.folder());
    setUpController(&fs);
    m_dialogs->expectInput("jpg").expectFolder(box.path());
    m_controller->addFolderTree();
    QCOMPARE(m_list->count(), 0);
    QCOMPARE(m_pointer->mousePointer(), pointer::kDefault);
}

void FolderControllerTest::unreadableFoldersKeepTheirReadableNeighbours() {
    Sandbox box({"top.jpg", "A/a.jpg", "B/b.jpg", "u1/1.jpg", "u2/2.jpg", "u3/3.jpg"});
    WatchedFileSystem fs(*m_pointer);
    for (const char* name : {"u1", "u2", "u3"}) {
        fs.unreadable.insert(box.folder(name));
    }
    setUpController(&fs);
    m_dialogs->expectInput("jpg").expectFolder(box.path());
    m_controller->addFolderTree();
    QCOMPARE(m_list->texts(), rows(box, {"top.jpg", "A/a.jpg", "B/b.jpg"}));
    QCOMPARE(m_pointer->mousePointer(), pointer::kDefault);
}

void FolderControllerTest::onlyFilesThatOpenBecomeRows() {
    // A name that does not decode, a folder that lists but cannot be entered,
    // and a file removed after its folder was read.
    Sandbox box({"ok.jpg", "A/a.jpg", "A/gone.jpg", "B/b.jpg", "L/l.jpg"});
    box.addRaw("caf\xE9.jpg");
    WatchedFileSystem fs(*m_pointer);
    fs.unenterable.insert(box.folder("L"));
    fs.afterReading.insert(box.folder("B"),
                           [&] { QVERIFY(QFile::remove(box.path("A/gone.jpg"))); });
    setUpController(&fs);
    m_dialogs->expectInput("jpg").expectFolder(box.path());
    m_controller->addFolderTree();
    QCOMPARE(m_list->texts(), rows(box, {"ok.jpg", "A/a.jpg", "B/b.jpg"}));
}

void FolderControllerTest::foldersOfEveryScriptAreFound() {
    const QStringList found{QString::fromUtf8("Caf\u00E9\u2013Bar/1.jpg"),
                            QString::fromUtf8("John\u2019s Photos/2.jpg"), "what?/3.jpg",
                            QString::fromUtf8("\u03A9mega/4.jpg"),
                            QString::fromUtf8("\u65E5\u672C/5.jpg")};
    Sandbox box(found + QStringList{"tab\there/6.jpg"});
    box.addRaw("caf\xE9/");
    box.addRaw("caf\xE9/7.jpg");
    m_dialogs->expectInput("jpg").expectFolder(box.path());
    m_controller->addFolderTree();
    QCOMPARE(m_list->texts(), rows(box, found));
}

void FolderControllerTest::outputFolder_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("remembered");
    QTest::newRow("ordinary folder") << "/data/out"
                                     << "/data/out/"
                                     << "/data/out";
    QTest::newRow("browser gave a trailing separator") << "/data/out/"
                                                       << "/data/out/"
                                                       << "/data/out";
    QTest::newRow("root") << "/"
                          << "/"
                          << "/";
}

void FolderControllerTest::outputFolder() {
    QFETCH(QString, chosen);
    QFETCH(QString, text1);
    QFETCH(QString, remembered);
    m_outputBox = "typed";
    m_dialogs->expectFolder(chosen);
    m_controller->chooseOutputFolder();
    QCOMPARE(m_outputBox, text1);
    QCOMPARE(m_settings->get(settings::kLastFolderDot, "?"), remembered);
    QCOMPARE(m_dialogs->shown().at(0).text, QStringLiteral("Please select folder:"));
}

void FolderControllerTest::cancelLeavesTypedOutputFolder() {
    m_settings->save(settings::kLastFolderDot, "/kept");
    m_outputBox = "/typed/by/hand";
    m_dialogs->expectFolder("");
    m_controller->chooseOutputFolder();
    QCOMPARE(m_outputBox, QStringLiteral("/typed/by/hand"));
    QCOMPARE(m_settings->get(settings::kLastFolderDot, "?"), QStringLiteral("/kept"));
}

void FolderControllerTest::outputAndAddFoldersAreRememberedApart() {
    m_settings->save(settings::kLastFolder, "/adds");
    m_dialogs->expectFolder("/out").expectFolder("");
    m_controller->chooseOutputFolder();
    // A fresh controller, as after a restart, starts where the output folder was chosen.
    setUpController();
    m_controller->chooseOutputFolder();
    QCOMPARE(m_dialogs->shown().at(0).preset, QString());
    QCOMPARE(m_dialogs->shown().at(1).preset, QStringLiteral("/out"));
    QCOMPARE(m_settings->get(settings::kLastFolder, "?"), QStringLiteral("/adds"));
}

void FolderControllerTest::helpNotice() {
    m_dialogs->expectMessage();
    m_controller->showHelp();
    const auto& box = m_dialogs->shown().at(0);
    QCOMPARE(
        box.text,
        QStringLiteral(
            "This software currently supports the following image formats: jpg, "
            "bmp, gif, png, webp, tif, avif.\r\n\r\nIf you need more formats added, please contact "
            "Team Bramwick at https://bramwick.example/contact"));
    QCOMPARE(box.style, 0);
    QCOMPARE(box.title, QStringLiteral("Quorvel"));
}

void FolderControllerTest::browserKeepsStartFolderAndCutsAtNul() {
    m_dialogs->expectFolder("").expectFolder(QStringLiteral("/picked") + QChar(0) + "junk");
    QCOMPARE(BrowseForFolder(*m_dialogs, "p", "/start"), QString());
    QCOMPARE(BrowseStartFolder(), QStringLiteral("/start"));
    QCOMPARE(BrowseForFolder(*m_dialogs, "p", "/other"), QStringLiteral("/picked"));
    QCOMPARE(BrowseStartFolder(), QStringLiteral("/other"));
}

QTEST_MAIN(FolderControllerTest)
#include "tst_foldercontroller.moc"
