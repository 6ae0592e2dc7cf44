// SPDX-License-Identifier: MIT
#include "imagelist/imagelist.h"
#include "imagelist/imagelistcontroller.h"
#include "imagelist/widgets/qimagelistviewadapter.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/windowpointer.h"

#include <QFile>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

using namespace quorvel;

namespace {

// The list, its view and controller, with the pointer on the screen at a height
// the test chooses.
struct Fixture {
    explicit Fixture(const QStringList& rows, bool withDragPicture = false) {
        if (withDragPicture) {
            QFile::copy(QStringLiteral(QUORVEL_RESOURCES_DIR "/drag.ico"),
                        programFolder.filePath(QStringLiteral("drag.ico")));
        }
        view.setModel(&model);
        view.setRootIsDecorated(false);
        view.setUniformRowHeights(true);
        view.setHeaderHidden(true);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        for (const QString& row : rows) {
            list.append(row);
        }
        controller =
            std::make_unique<ImageListController>(list, pointer, dialogs, programFolder.path());
        listView->forwardGesturesTo(controller.get());
        controller->setCursorPositionSource([this] { return QPoint(10, screenY); });
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    // Shows exactly two rows, so that scrolling shows in the scroll bar.
    void showTwoRowsFrom(int firstRow) {
        const int rowHeight = view.sizeHintForRow(0);
        view.resize(view.width(), 2 * rowHeight + 2 * view.frameWidth());
        QCoreApplication::processEvents();
        view.scrollTo(model.index(firstRow - 1), QAbstractItemView::PositionAtTop);
    }

    QPoint rowCentre(int row) const { return view.visualRect(model.index(row - 1)).center(); }
    bool rowVisible(int row) const {
        return view.viewport()->rect().contains(view.visualRect(model.index(row - 1)));
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &event);
    }
    void press(int row) { mouse(QEvent::MouseButtonPress, rowCentre(row), Qt::LeftButton); }
    void moveTo(int row) { mouse(QEvent::MouseMove, rowCentre(row), Qt::LeftButton); }
    void release() { mouse(QEvent::MouseButtonRelease, view.viewport()->rect().center(), {}); }

    QTemporaryDir programFolder;
    ImageListModel model;
    QTreeView view;
    QImageListViewAdapter* listView = new QImageListViewAdapter(&view);
    ImageList list{model, listView};
    PlainWindowPointer pointer;
    ScriptedDialogs dialogs;
    std::unique_ptr<ImageListController> controller;
    int screenY = 330;
};

const QStringList kABC{"A", "B", "C"};

} // namespace

class ListGesturesTest : public QObject {
    Q_OBJECT
private slots:
    void removal_data();
    void removal();
    void doubleClickRemovesTheClickedRow();
    void clearList_data();
    void clearList();
    void dragMovesTheEntry();
    void dragOverSameTextExchangesNothing();
    void dragEndsOnRelease();
    void dragWorksWhileBusy();
    void dragRowFollowsItsEntry_data();
    void dragRowFollowsItsEntry();
    void edgeScrolling_data();
    void edgeScrolling();
    void dragPointer_data();
    void dragPointer();
    void moveOverListResetsWindowPointer();
};

void ListGesturesTest::removal_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<int>("key"); // 0: a double-click
    QTest::addColumn<QStringList>("expected");
    const int del = Qt::Key_Delete;
    QTest::newRow("Delete removes the selected row")
        << kABC << 2 << false << del << QStringList{"A", "C"};
    QTest::newRow("Delete removes the last row")
        << kABC << 3 << false << del << QStringList{"A", "B"};
    QTest::newRow("Delete while busy") << kABC << 2 << true << del << kABC;
    QTest::newRow("Delete on an empty list") << QStringList() << 0 << false << del << QStringList();
    QTest::newRow("Delete with nothing selected") << kABC << 0 << false << del << kABC;
    // Its Qt key number equals the Delete key's code.
    QTest::newRow("full stop") << kABC << 2 << false << int(Qt::Key_Period) << kABC;
    QTest::newRow("Backspace") << kABC << 2 << false << int(Qt::Key_Backspace) << kABC;
    QTest::newRow("double-click removes the selected row")
        << kABC << 1 << false << 0 << QStringList{"B", "C"};
    QTest::newRow("double-click while busy") << kABC << 1 << true << 0 << kABC;
    QTest::newRow("double-click on an empty list")
        << QStringList() << 0 << false << 0 << QStringList();
}

void ListGesturesTest::removal() {
    QFETCH(QStringList, rows);
    QFETCH(int, selected);
    QFETCH(bool, busy);
    QFETCH(int, key);
    QFETCH(QStringList, expected);
    Fixture f(rows);
    f.list.select(selected);
    f.pointer.setMousePointer(busy ? pointer::kHourglass : pointer::kDefault);
    if (key != 0) {
        QTest::keyClick(&f.view, Qt::Key(key));
    } else {
        QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    }
    QCOMPARE(f.list.texts(), expected);
}

void ListGesturesTest::doubleClickRemovesTheClickedRow() {
    Fixture f(kABC);
    // As a person double-clicks: the first click selects the row.
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, {}, f.rowCentre(2));
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, {}, f.rowCentre(2));
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, f.rowCentre(2));
    QCOMPARE(f.list.texts(), (QStringList{"A", "C"}));
    QVERIFY(!f.controller->rowDrag().isDragging());
}

void ListGesturesTest::clearList_data() {
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("removes every row, duplicates too") << false << QStringList();
    QTest::newRow("nothing while busy") << true << QStringList{"A", "A", "B", "A"};
}

void ListGesturesTest::clearList() {
    QFETCH(bool, busy);
    QFETCH(QStringList, expected);
    Fixture f({"A", "A", "B", "A"});
    f.pointer.setMousePointer(busy ? pointer::kHourglass : pointer::kDefault);
    f.controller->clearList();
    QCOMPARE(f.list.texts(), expected);
    QVERIFY(f.dialogs.satisfied());
}

void ListGesturesTest::dragMovesTheEntry() {
    Fixture f(kABC);
    f.press(1);
    QVERIFY(f.controller->rowDrag().isDragging());
    QCOMPARE(f.controller->rowDrag().dragRow(), 1);
    f.moveTo(1);
    QCOMPARE(f.list.texts(), kABC);
    f.moveTo(2);
    QCOMPARE(f.list.texts(), (QStringList{"B", "A", "C"}));
    QCOMPARE(f.list.selectedIndex(), 2);
    f.moveTo(3);
    QCOMPARE(f.list.texts(), (QStringList{"B", "C", "A"}));
    QCOMPARE(f.list.selectedIndex(), 3);
    QCOMPARE(f.controller->rowDrag().dragRow(), 3);
    QCOMPARE(f.controller->rowDrag().hitRow(), 0);
    // And back up again.
    f.moveTo(1);
    QCOMPARE(f.list.texts(), (QStringList{"A", "C", "B"}));
    QCOMPARE(f.list.selectedIndex(), 1);
}

void ListGesturesTest::dragOverSameTextExchangesNothing() {
    Fixture f({"A", "A", "B"});
    f.press(1);
    f.moveTo(2);
    QCOMPARE(f.list.texts(), (QStringList{"A", "A", "B"}));
    QCOMPARE(f.controller->rowDrag().dragRow(), 1);
    QCOMPARE(f.list.selectedIndex(), 1);
}

void ListGesturesTest::dragEndsOnRelease() {
    Fixture f(kABC);
    f.press(1);
    f.release();
    QVERIFY(!f.controller->rowDrag().isDragging());
    f.moveTo(2);
    QCOMPARE(f.list.texts(), kABC);
    // The dragged row is kept until the next row click.
    QCOMPARE(f.controller->rowDrag().dragRow(), 1);
}

void ListGesturesTest::dragWorksWhileBusy() {
    Fixture f(kABC);
    f.pointer.setMousePointer(pointer::kHourglass);
    f.press(1);
    f.moveTo(2);
    QCOMPARE(f.list.texts(), (QStringList{"B", "A", "C"}));
    QCOMPARE(f.pointer.mousePointer(), pointer::kHourglass);
}

void ListGesturesTest::dragRowFollowsItsEntry_data() {
    QTest::addColumn<int>("removed"); // 0: the list was cleared and filled again
    QTest::addColumn<int>("dragRow");
    QTest::addColumn<QStringList>("afterMoveOverRow1");
    // Row 3 (C) of A, B, C, D was clicked last; a later press beside the rows
    // and a move over row 1 moves whatever the remembered row names.
    QTest::newRow("row above removed: C moves up with it") << 1 << 2 << QStringList{"C", "B", "D"};
    QTest::newRow("row below removed: C stays") << 4 << 3 << QStringList{"C", "B", "A"};
    QTest::newRow("C itself removed: nothing to move") << 3 << 0 << QStringList{"A", "B", "D"};
    QTest::newRow("list cleared and filled again") << 0 << 0 << QStringList{"A", "B", "C", "D"};
}

void ListGesturesTest::dragRowFollowsItsEntry() {
    QFETCH(int, removed);
    QFETCH(int, dragRow);
    QFETCH(QStringList, afterMoveOverRow1);
    Fixture f({"A", "B", "C", "D"});
    f.press(3);
    f.release();
    if (removed == 0) {
        f.list.clear();
        for (const char* row : {"A", "B", "C", "D"}) {
            f.list.append(QString::fromLatin1(row));
        }
    } else {
        f.list.remove(removed);
    }
    QCOMPARE(f.controller->rowDrag().dragRow(), dragRow);
    f.controller->mousePressed(); // a press beside the rows: no row click
    f.moveTo(1);
    QCOMPARE(f.list.texts(), afterMoveOverRow1);
}

void ListGesturesTest::edgeScrolling_data() {
    QTest::addColumn<int>("firstShown");
    QTest::addColumn<int>("pressRow");
    QTest::addColumn<int>("moveRow");
    QTest::addColumn<int>("screenY");
    QTest::addColumn<int>("revealed"); // 0: the list must not scroll
    QTest::newRow("onto row 1 near the top: no row above") << 1 << 2 << 1 << 300 << 0;
    QTest::newRow("onto row 4 near the top reveals row 3") << 4 << 5 << 4 << 300 << 3;
    QTest::newRow("just above the band") << 4 << 5 << 4 << 304 << 3;
    QTest::newRow("top of the band") << 4 << 5 << 4 << 305 << 0;
    QTest::newRow("bottom of the band") << 1 << 1 << 2 << 364 << 0;
    QTest::newRow("onto row 2 near the bottom reveals row 3") << 1 << 1 << 2 << 365 << 3;
    QTest::newRow("onto the last row near the bottom: no row below") << 4 << 4 << 5 << 365 << 0;
    QTest::newRow("no exchange never scrolls, low") << 1 << 2 << 2 << 365 << 0;
    QTest::newRow("no exchange never scrolls, high") << 4 << 4 << 4 << 300 << 0;
}

void ListGesturesTest::edgeScrolling() {
    QFETCH(int, firstShown);
    QFETCH(int, pressRow);
    QFETCH(int, moveRow);
    QFETCH(int, screenY);
    QFETCH(int, revealed);
    Fixture f({"A", "B", "C", "D", "E"});
    f.showTwoRowsFrom(firstShown);
    const int before = f.view.verticalScrollBar()->value();
    if (revealed != 0) {
        QVERIFY(!f.rowVisible(revealed));
    }
    f.screenY = screenY;
    f.press(pressRow);
    f.moveTo(moveRow);
    if (revealed == 0) {
        QCOMPARE(f.view.verticalScrollBar()->value(), before);
    } else {
        QVERIFY(f.rowVisible(revealed));
    }
}

void ListGesturesTest::dragPointer_data() {
    QTest::addColumn<bool>("pictureBesideProgram");
    QTest::addColumn<int>("shapeWhileDragging");
    QTest::newRow("drag.ico present") << true << int(Qt::BitmapCursor);
    QTest::newRow("drag.ico missing: the arrow") << false << int(Qt::ArrowCursor);
}

void ListGesturesTest::dragPointer() {
    QFETCH(bool, pictureBesideProgram);
    QFETCH(int, shapeWhileDragging);
    Fixture f(kABC, pictureBesideProgram);
    f.press(1);
    QCOMPARE(int(f.view.viewport()->cursor().shape()), shapeWhileDragging);
    f.moveTo(2);
    QCOMPARE(f.list.texts(), (QStringList{"B", "A", "C"}));
    f.release();
    QCOMPARE(f.view.viewport()->cursor().shape(), Qt::ArrowCursor);
}

void ListGesturesTest::moveOverListResetsWindowPointer() {
    Fixture f(kABC);
    f.pointer.setMousePointer(pointer::kCustom);
    f.mouse(QEvent::MouseMove, f.rowCentre(1), {});
    QCOMPARE(f.pointer.mousePointer(), pointer::kDefault);
    f.pointer.setMousePointer(pointer::kHourglass);
    f.mouse(QEvent::MouseMove, f.rowCentre(1), {});
    QCOMPARE(f.pointer.mousePointer(), pointer::kHourglass);
}

QTEST_MAIN(ListGesturesTest)
#include "tst_listgestures.moc"
