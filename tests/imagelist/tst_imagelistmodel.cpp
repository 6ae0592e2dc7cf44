// SPDX-License-Identifier: MIT
#include "imagelist/imagelist.h"
#include "imagelist/imagelistmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace quorvel;

namespace {
// The model's signals in order, as "insert 0-2", "change 1", "remove 0", "reset".
class SignalLog : public QObject {
public:
    explicit SignalLog(ImageListModel& model) {
        connect(&model, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex&, int first, int last) {
                    m_events << QStringLiteral("insert %1-%2").arg(first).arg(last);
                });
        connect(&model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& from, const QModelIndex&) {
                    m_events << QStringLiteral("change %1").arg(from.row());
                });
        connect(&model, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex&, int first, int) {
                    m_events << QStringLiteral("remove %1").arg(first);
                });
        connect(&model, &QAbstractItemModel::modelReset, this,
                [this] { m_events << QStringLiteral("reset"); });
    }
    QStringList take() { return std::exchange(m_events, {}); }

private:
    QStringList m_events;
};
} // namespace

class ImageListModelTest : public QObject {
    Q_OBJECT
private slots:
    void batchAnnouncesItsRowsInOneInsertion();
    void nestedBatchesAnnounceWhenTheLastCloses();
    void otherChangesAnnounceHeldRowsFirst();
    void clearDropsHeldRowsWithoutAnInsertion();
};

void ImageListModelTest::batchAnnouncesItsRowsInOneInsertion() {
    ImageListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    ImageList list(model);
    AddImageRow(list, "/first.jpg");
    SignalLog log(model);
    {
        const ImageListModel::AppendBatch batch(model);
        for (int i = 0; i < 3; ++i) {
            AddImageRow(list, QStringLiteral("/%1.jpg").arg(i));
        }
        // The callers' view of the list is whole; the views' is not yet.
        QCOMPARE(list.count(), 4);
        QCOMPARE(list.text(4), QStringLiteral("/2.jpg"));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(log.take(), QStringList());
    }
    QCOMPARE(log.take(), QStringList{"insert 1-3"});
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.data(model.index(3)).toString(), QStringLiteral("/2.jpg"));

    { const ImageListModel::AppendBatch empty(model); }
    QCOMPARE(log.take(), QStringList());
}

void ImageListModelTest::nestedBatchesAnnounceWhenTheLastCloses() {
    ImageListModel model;
    SignalLog log(model);
    {
        const ImageListModel::AppendBatch outer(model);
        model.append("/a.jpg");
        {
            const ImageListModel::AppendBatch inner(model);
            model.append("/b.jpg");
        }
        QCOMPARE(log.take(), QStringList());
        model.append("/c.jpg");
    }
    QCOMPARE(log.take(), QStringList{"insert 0-2"});
}

void ImageListModelTest::otherChangesAnnounceHeldRowsFirst() {
    ImageListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    ImageList list(model);
    SignalLog log(model);
    {
        const ImageListModel::AppendBatch batch(model);
        list.append("/a.jpg");
        list.append("/b.jpg");
        list.setText(2, "/B.jpg");
        list.append("/c.jpg");
        list.remove(1);
        list.append("/d.jpg");
    }
    QCOMPARE(log.take(),
             (QStringList{"insert 0-1", "change 1", "insert 2-2", "remove 0", "insert 2-2"}));
    QCOMPARE(list.texts(), (QStringList{"/B.jpg", "/c.jpg", "/d.jpg"}));
    QCOMPARE(model.rowCount(), 3);
}

void ImageListModelTest::clearDropsHeldRowsWithoutAnInsertion() {
    ImageListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.append("/old.jpg");
    SignalLog log(model);
    {
        const ImageListModel::AppendBatch batch(model);
        model.append("/a.jpg");
        model.clear();
        model.append("/b.jpg");
    }
    QCOMPARE(log.take(), (QStringList{"reset", "insert 0-0"}));
    QCOMPARE(model.texts(), QStringList{"/b.jpg"});
}

QTEST_GUILESS_MAIN(ImageListModelTest)
#include "tst_imagelistmodel.moc"
