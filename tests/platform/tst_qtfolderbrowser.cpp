// SPDX-License-Identifier: MIT
#include "platform/widgets/qdialogsadapter.h"
#include "sandbox.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace quorvel;

class QtFolderBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void confirmingAtOnceGivesTheStartFolder_data();
    void confirmingAtOnceGivesTheStartFolder();
    void cancelGivesNothing();
};

namespace {
// Answers the browser once it is shown, recording the texts it shows. A browser
// that stays open after the answer is cancelled on a later turn of the event
// loop, so a regression fails the comparison instead of hanging.
std::unique_ptr<QTimer> answerBrowser(bool accept, QStringList* labels) {
    auto timer = std::make_unique<QTimer>();
    auto answers = std::make_shared<int>(0);
    QObject::connect(timer.get(), &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        if (*answers == 0) {
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                *labels << label->text();
            }
        }
        QMetaObject::invokeMethod(dialog, accept && *answers == 0 ? "accept" : "reject");
        ++*answers;
    });
    timer->start(0);
    return timer;
}
} // namespace

void QtFolderBrowserTest::confirmingAtOnceGivesTheStartFolder_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder") << "pictures"
                            << "pictures";
    QTest::newRow("folder with trailing separator") << "pictures/"
                                                    << "pictures";
}

void QtFolderBrowserTest::confirmingAtOnceGivesTheStartFolder() {
    QFETCH(QString, start);
    QFETCH(QString, expected);
    Sandbox box({"pictures/"});
    QDialogsAdapter dialogs;
    QStringList labels;
    const auto answer = answerBrowser(true, &labels);
    QCOMPARE(dialogs.browseForFolder("Please select folder:", box.path(start)), box.path(expected));
    QVERIFY2(labels.contains("Please select folder:"), qPrintable(labels.join('|')));
}

void QtFolderBrowserTest::cancelGivesNothing() {
    Sandbox box({"pictures/"});
    QDialogsAdapter dialogs;
    QStringList labels;
    const auto answer = answerBrowser(false, &labels);
    QCOMPARE(dialogs.browseForFolder("Please select folder:", box.path("pictures")), QString());
}

QTEST_MAIN(QtFolderBrowserTest)
#include "tst_qtfolderbrowser.moc"
