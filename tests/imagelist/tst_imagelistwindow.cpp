// SPDX-License-Identifier: MIT
// The list on the real window: its column, and the buttons and keys wired to it.
#include "app/form1.h"
#include "imagelist/imagelist.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settingsstore.h"

#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QTreeView>
#include <memory>

using namespace quorvel;

class ImageListWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listHasItsColumnAndTip();
    void addImageFilesButton();
    void clearListButton();
    void deleteKeyOnTheList();
    void rowDragOnTheWindow();
    void listTipOverARow();

private:
    QTemporaryDir m_config;
    QTemporaryDir m_programFolder;
    SettingsStore m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Form1> m_form;
};

void ImageListWindowTest::initTestCase() {
    SettingsStore::setConfigFolder(m_config.path());
    QVERIFY(QFile::copy(QStringLiteral(QUORVEL_RESOURCES_DIR "/drag.ico"),
                        m_programFolder.filePath(QStringLiteral("drag.ico"))));
}

void ImageListWindowTest::init() {
    m_dialogs = std::make_unique<ScriptedDialogs>();
    const QString desktop = m_config.path();
    m_form = std::make_unique<Form1>(Form1Services{*m_dialogs, m_settings, m_programFolder.path(),
                                                   [desktop] { return desktop; },
                                                   [] { return 0.5; }, [] {}});
    m_form->Form_Load();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void ImageListWindowTest::cleanup() {
    QVERIFY(m_dialogs->satisfied());
    m_form.reset();
    m_dialogs.reset();
}

void ImageListWindowTest::listHasItsColumnAndTip() {
    QTreeView* list = m_form->ListView1;
    QCOMPARE(list->model()->columnCount(), 1);
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Image File(s)"));
    QCOMPARE(list->columnWidth(0), 467); // 7,000 twips
    QCOMPARE(list->toolTip(), QStringLiteral("Drag and drop files here. Double-click item to "
                                             "remove it. Move | line to right and out of window "
                                             "to reveal full names."));
    QVERIFY(!list->isSortingEnabled());
    QVERIFY(list->uniformRowHeights());
    // Rows move by the row drag only, never by a drag-and-drop of the list's own.
    QVERIFY(!list->dragEnabled());
}

void ImageListWindowTest::addImageFilesButton() {
    m_dialogs->expectOpenFiles({"/pics/b.jpg", "/pics/a.png", "/pics/c.gif"});
    QTest::mouseClick(m_form->PushButton1, Qt::LeftButton);
    QCOMPARE(m_form->imageList().texts(),
             (QStringList{"/pics/b.jpg", "/pics/a.png", "/pics/c.gif"}));
    QCOMPARE(m_dialogs->shown().constLast().text,
             QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files"));
}

void ImageListWindowTest::clearListButton() {
    ImageList& list = m_form->imageList();
    for (const char* row : {"/a.jpg", "/a.jpg", "/b.jpg"}) {
        AddImageRow(list, QString::fromLatin1(row));
    }
    m_form->setMousePointer(pointer::kHourglass);
    QTest::mouseClick(m_form->PushButton4, Qt::LeftButton);
    QCOMPARE(list.count(), 3);
    m_form->setMousePointer(pointer::kDefault);
    QTest::mouseClick(m_form->PushButton4, Qt::LeftButton);
    QCOMPARE(list.count(), 0);
}

void ImageListWindowTest::deleteKeyOnTheList() {
    ImageList& list = m_form->imageList();
    for (const char* row : {"A", "B", "C"}) {
        AddImageRow(list, QString::fromLatin1(row));
    }
    list.select(2);
    QTest::keyClick(m_form->ListView1, Qt::Key_Delete);
    QCOMPARE(list.texts(), (QStringList{"A", "C"}));
}

void ImageListWindowTest::rowDragOnTheWindow() {
    ImageList& list = m_form->imageList();
    for (const char* row : {"A", "B", "C"}) {
        AddImageRow(list, QString::fromLatin1(row));
    }
    QTreeView* view = m_form->ListView1;
    const auto centre = [view](int row) {
        return view->visualRect(view->model()->index(row - 1, 0)).center();
    };
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre(1));
    QCOMPARE(view->viewport()->cursor().shape(), Qt::BitmapCursor);
    QMouseEvent move(QEvent::MouseMove, centre(2), view->viewport()->mapToGlobal(centre(2)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &move);
    QCOMPARE(list.texts(), (QStringList{"B", "A", "C"}));
    QCOMPARE(list.selectedIndex(), 2);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre(2));
    QCOMPARE(view->viewport()->cursor().shape(), Qt::ArrowCursor);
}

void ImageListWindowTest::listTipOverARow() {
    AddImageRow(m_form->imageList(), QStringLiteral("/pics/a.jpg"));
    QTreeView* view = m_form->ListView1;
    const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
    QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view->viewport(), &help);
    QCOMPARE(QToolTip::text(), view->toolTip());
}

QTEST_MAIN(ImageListWindowTest)
#include "tst_imagelistwindow.moc"
