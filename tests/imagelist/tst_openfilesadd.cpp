// SPDX-License-Identifier: MIT
#include "imagelist/imagelist.h"
#include "imagelist/openfilesadd.h"
#include "platform/appinfo.h"
#include "platform/testing/scripteddialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>

using namespace quorvel;

namespace {

// Files in one folder whose dialog text takes exactly `length` characters.
QStringList filesTaking(int length) {
    const int names = 2000;
    const QString name = QStringLiteral("IMG_00000.jpg");
    // folder + NUL + names * (name + NUL) + closing NUL
    const int folderLength = length - 1 - names * int(name.size() + 1) - 1;
    const QString folder = QLatin1Char('/') + QString(folderLength - 1, QLatin1Char('d'));
    QStringList files;
    for (int i = 0; i < names; ++i) {
        files.append(folder + QLatin1Char('/') + name);
    }
    return files;
}

} // namespace

class OpenFilesAddTest : public QObject {
    Q_OBJECT
private slots:
    void picksBecomeRows_data();
    void picksBecomeRows();
    void showsTheDialogWithTitleAndFilter();
    void qtFiltersByThePatterns();
    void sameFileTwiceGivesTwoRows();
    void tooManyFilesAddsNothing_data();
    void tooManyFilesAddsNothing();
    void textLength_data();
    void textLength();
};

void OpenFilesAddTest::picksBecomeRows_data() {
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QStringList>("rows");
    const QChar slash('/');
    const QChar backslash('\\');
    QTest::newRow("cancel") << QStringList() << slash << QStringList();
    QTest::newRow("one file, exactly as returned")
        << QStringList{"/pics//odd.jpg"} << slash << QStringList{"/pics//odd.jpg"};
    QTest::newRow("three files, in the dialog's order")
        << QStringList{"/pics/c.gif", "/pics/a.jpg", "/pics/b.png"} << slash
        << QStringList{"/pics/c.gif", "/pics/a.jpg", "/pics/b.png"};
    QTest::newRow("two files in the root: one separator")
        << QStringList{"/a.jpg", "/b.jpg"} << slash << QStringList{"/a.jpg", "/b.jpg"};
    QTest::newRow("two files in a drive's root: one separator")
        << QStringList{R"(C:\a.jpg)", R"(C:\b.jpg)"} << backslash
        << QStringList{R"(C:\a.jpg)", R"(C:\b.jpg)"};
    QTest::newRow("network share keeps its two leading separators")
        << QStringList{R"(\\server\share\a.jpg)", R"(\\server\share\b.jpg)"} << backslash
        << QStringList{R"(\\server\share\a.jpg)", R"(\\server\share\b.jpg)"};
    QTest::newRow("files of different folders keep their own")
        << QStringList{"/x/a.jpg", "/y/b.jpg"} << slash << QStringList{"/x/a.jpg", "/y/b.jpg"};
    QTest::newRow("no extension test")
        << QStringList{"/p/notes.txt", "/p/b"} << slash << QStringList{"/p/notes.txt", "/p/b"};
}

void OpenFilesAddTest::picksBecomeRows() {
    QFETCH(QStringList, picked);
    QFETCH(QChar, separator);
    QFETCH(QStringList, rows);
    ImageListModel model;
    ImageList list(model);
    list.append(QStringLiteral("/already/there.jpg"));
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles(picked);
    addFilesFromOpenDialog(list, dialogs, separator);
    QCOMPARE(list.texts(), QStringList{"/already/there.jpg"} + rows);
    QVERIFY(dialogs.satisfied());
}

void OpenFilesAddTest::showsTheDialogWithTitleAndFilter() {
    ImageListModel model;
    ImageList list(model);
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles({});
    addFilesFromOpenDialog(list, dialogs, QLatin1Char('/'));
    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(dialogs.shown().constFirst().text,
             QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files"));
    const QString filter = dialogs.shown().constFirst().preset;
    // The visible description, then the patterns in the form Qt filters by.
    QCOMPARE(filter,
             QStringLiteral("All Pictures (*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.webp;*.tif;*.tiff;"
                            "*.avif) (*.bmp *.jpg *.jpeg *.gif *.png *.webp *.tif *.tiff "
                            "*.avif)"));
}

void OpenFilesAddTest::qtFiltersByThePatterns() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(openfiles::filter());
    auto* files = dialog.findChild<QFileSystemModel*>();
    QVERIFY(files);
    QCOMPARE(files->nameFilters(), (QStringList{"*.bmp", "*.jpg", "*.jpeg", "*.gif", "*.png",
                                                "*.webp", "*.tif", "*.tiff", "*.avif"}));
    // With the details hidden the user reads the description alone.
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    QCOMPARE(types->itemText(0), openfiles::filterDescription());
}

void OpenFilesAddTest::sameFileTwiceGivesTwoRows() {
    ImageListModel model;
    ImageList list(model);
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles({"/pics/a.jpg"}).expectOpenFiles({"/pics/a.jpg"});
    addFilesFromOpenDialog(list, dialogs, QLatin1Char('/'));
    addFilesFromOpenDialog(list, dialogs, QLatin1Char('/'));
    QCOMPARE(list.texts(), (QStringList{"/pics/a.jpg", "/pics/a.jpg"}));
}

void OpenFilesAddTest::tooManyFilesAddsNothing_data() {
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<bool>("fits");
    QTest::newRow("exactly the limit") << filesTaking(openfiles::kMaxFileText) << true;
    QTest::newRow("one character over") << filesTaking(openfiles::kMaxFileText + 1) << false;
    QTest::newRow("one file with a path over the limit")
        << QStringList{QLatin1Char('/') + QString(openfiles::kMaxFileText, QLatin1Char('x'))}
        << false;
}

void OpenFilesAddTest::tooManyFilesAddsNothing() {
    QFETCH(QStringList, picked);
    QFETCH(bool, fits);
    ImageListModel model;
    ImageList list(model);
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles(picked);
    if (!fits) {
        dialogs.expectMessage();
    }
    addFilesFromOpenDialog(list, dialogs, QLatin1Char('/'));
    QVERIFY(dialogs.satisfied());
    if (fits) {
        QCOMPARE(list.count(), picked.size());
        return;
    }
    QCOMPARE(list.count(), 0);
    const ScriptedDialogs::Shown& box = dialogs.shown().constLast();
    QCOMPARE(box.text, QStringLiteral("You've selected too many files to add.\r\rPlease try "
                                      "adding via the \"Add All\" button."));
    QCOMPARE(box.style, 0);
    QCOMPARE(box.title, appinfo::kApplicationTitle);
}

void OpenFilesAddTest::textLength_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<int>("length");
    QTest::newRow("none") << QStringList() << QChar('/') << 0;
    QTest::newRow("one: path and NUL") << QStringList{"/p/a.jpg"} << QChar('/') << 9;
    QTest::newRow("two: folder, names, closing NUL")
        << QStringList{"/p/a.jpg", "/p/bb.jpg"} << QChar('/') << 2 + 1 + 6 + 7 + 1;
    QTest::newRow("root folder keeps its separator")
        << QStringList{"/a", "/b"} << QChar('/') << 1 + 1 + 2 + 2 + 1;
    QTest::newRow("drive root") << QStringList{R"(C:\a)", R"(C:\b)"} << QChar('\\')
                                << 3 + 1 + 2 + 2 + 1;
    QTest::newRow("other folder counts in full")
        << QStringList{"/p/a", "/q/b"} << QChar('/') << 2 + 1 + 2 + 5 + 1;
}

void OpenFilesAddTest::textLength() {
    QFETCH(QStringList, files);
    QFETCH(QChar, separator);
    QFETCH(int, length);
    QCOMPARE(openDialogTextLength(files, separator), qsizetype(length));
}

QTEST_MAIN(OpenFilesAddTest)
#include "tst_openfilesadd.moc"
