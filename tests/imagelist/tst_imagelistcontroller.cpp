// SPDX-License-Identifier: MIT
// The list's gestures on a stand-in view: no widget, no event loop.
#include "imagelist/imagelist.h"
#include "imagelist/imagelistcontroller.h"
#include "imagelist/imagelistview.h"
#include "platform/apperror.h"
#include "platform/errortrap.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/windowpointer.h"

#include <QTest>
#include <functional>

using namespace quorvel;

namespace {

// Rows sit 10 pixels apart from y = 0; `failing` makes every call raise.
class FakeListView : public ImageListView {
public:
    int selectedRow() const override {
        check();
        return m_selected;
    }
    void selectRow(int row) override {
        check();
        m_selected = row;
    }
    void scrollToRow(int row) override {
        check();
        scrolledTo = row;
    }
    int rowAt(const QPoint& position) const override {
        check();
        return position.y() / 10 + 1;
    }
    void showCursorFile(const QString& path) override {
        check();
        cursor = path;
    }
    void showArrowCursor() override {
        check();
        cursor = QStringLiteral("arrow");
    }
    QPoint pointerOnScreen() const override {
        check();
        return QPoint(0, screenY);
    }

    bool failing = false;
    int screenY = 330;
    int scrolledTo = 0;
    QString cursor;

private:
    void check() const {
        if (failing) {
            throw AppError(5, QStringLiteral("Invalid procedure call or argument"));
        }
    }
    int m_selected = 0;
};

struct Fixture {
    Fixture() {
        for (const char* row : {"A", "B", "C"}) {
            list.append(QString::fromLatin1(row));
        }
    }
    ImageListModel model;
    FakeListView view;
    ImageList list{model, &view};
    PlainWindowPointer pointer;
    ScriptedDialogs dialogs;
    ImageListController controller{list, pointer, dialogs, QStringLiteral("/prog")};
};

} // namespace

class ImageListControllerTest : public QObject {
    Q_OBJECT
private slots:
    void gesturesWorkOnTheView();
    void errorsNameTheirHandler();
};

void ImageListControllerTest::gesturesWorkOnTheView() {
    Fixture f;
    f.view.screenY = 400; // near the bottom of the screen: an exchange reveals the row below
    f.controller.onMouseDown();
    f.list.select(1);
    f.controller.onRowPressed();
    QCOMPARE(f.view.cursor, QStringLiteral("/prog/drag.ico"));
    f.controller.onMouseMove(QPoint(5, 15)); // over row 2
    QCOMPARE(f.list.texts(), (QStringList{"B", "A", "C"}));
    QCOMPARE(f.list.selectedIndex(), 2);
    QCOMPARE(f.view.scrolledTo, 3);
    f.controller.onMouseUp();
    QCOMPARE(f.view.cursor, QStringLiteral("arrow"));

    QVERIFY(!f.controller.onKeyDown(Qt::Key_Period)); // the Delete key's code, but not Delete
    QCOMPARE(f.list.count(), 3);
    QVERIFY(f.controller.onKeyDown(Qt::Key_Delete));
    QCOMPARE(f.list.texts(), (QStringList{"B", "C"}));
    QVERIFY(f.dialogs.satisfied());
}

void ImageListControllerTest::errorsNameTheirHandler() {
    const struct {
        const char* handler;
        std::function<void(ImageListController&)> gesture;
    } cases[] = {
        {"ListView1_KeyDown", [](ImageListController& c) { c.onKeyDown(Qt::Key_Delete); }},
        {"ListView1_DblClick", [](ImageListController& c) { c.onDoubleClick(); }},
        {"ListView1_ItemClick", [](ImageListController& c) { c.onRowPressed(); }},
        {"ListView1_MouseMove",
         [](ImageListController& c) {
             c.onMouseDown();
             c.onMouseMove(QPoint(5, 15));
         }},
        {"ListView1_MouseUp", [](ImageListController& c) { c.onMouseUp(); }},
    };
    for (const auto& test : cases) {
        Fixture f;
        f.view.failing = true;
        f.dialogs.expectMessage();
        test.gesture(f.controller); // the box is shown and nothing escapes
        QVERIFY2(f.dialogs.satisfied(), test.handler);
        QCOMPARE(f.dialogs.messages().constFirst(),
                 applicationErrorMessage(QStringLiteral("Invalid procedure call or argument"),
                                         formLocation(QString::fromLatin1(test.handler)),
                                         kUnnumberedLine));
    }
}

QTEST_GUILESS_MAIN(ImageListControllerTest)
#include "tst_imagelistcontroller.moc"
