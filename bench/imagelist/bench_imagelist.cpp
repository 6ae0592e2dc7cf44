// SPDX-License-Identifier: MIT
// Appending 100,000 rows to the window's list and clearing them again, against a
// plain QTreeWidget filled the same way, in the same run. Prints medians.
#include "app/form1.h"
#include "imagelist/imagelist.h"
#include "imagelist/imagelistcontroller.h"
#include "platform/dialogs.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace quorvel;

class SilentDialogs : public Dialogs {
public:
    MsgBoxResult messageBox(const QString&, int, const QString&) override {
        return MsgBoxResult::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFiles(const QString&, const QString&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    void openUrl(const QUrl&) override {}
};

// Includes the view's catching up (layout, one paint): what the user waits for.
double timed(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    QCoreApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QStringList makePaths(int count) {
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        paths.append(QStringLiteral("/home/someone/Pictures/holiday 2026/IMG_%1.jpg")
                         .arg(i, 6, 10, QLatin1Char('0')));
    }
    return paths;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const int rounds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5;
    QTemporaryDir config;
    SettingsStore::setConfigFolder(config.path());
    SettingsStore settings;
    SilentDialogs dialogs;
    Form1 form(Form1Services{dialogs, settings, config.path(), [] { return QString(); },
                             [] { return 0.5; }, [] {}});
    form.Form_Load();
    form.show();
    QTreeWidget peer;
    peer.setUniformRowHeights(true);
    peer.setRootIsDecorated(false);
    peer.setGeometry(form.ListView1->geometry());
    peer.show();
    QCoreApplication::processEvents();

    const QStringList paths = makePaths(rows);
    std::vector<double> ourAppend, ourClear, ourScroll, peerAppend, peerClear;
    for (int round = 0; round < rounds; ++round) {
        ImageList& list = form.imageList();
        ourAppend.push_back(timed([&] {
            for (const QString& path : paths) {
                AddImageRow(list, path);
            }
        }));
        // A person can still scroll: to the last row and back, each with a paint.
        ourScroll.push_back(timed([&] {
            form.ListView1->scrollToBottom();
            form.ListView1->viewport()->repaint();
            form.ListView1->verticalScrollBar()->setValue(rows / 2);
            form.ListView1->viewport()->repaint();
        }));
        if (list.count() != rows) {
            std::fprintf(stderr, "expected %d rows, found %d\n", rows, list.count());
            return 1;
        }
        ourClear.push_back(timed([&] { list.clear(); }));

        peerAppend.push_back(timed([&] {
            for (const QString& path : paths) {
                peer.addTopLevelItem(new QTreeWidgetItem(QStringList{path}));
            }
        }));
        peerClear.push_back(timed([&] { peer.clear(); }));
    }

    const double append = median(ourAppend);
    const double clear = median(ourClear);
    std::printf("image list, %d rows, median of %d rounds (ms)\n", rows, rounds);
    std::printf("%-28s %10s %10s %8s\n", "", "ListView1", "QTreeWidget", "ratio");
    std::printf("%-28s %10.1f %10.1f %8.2f\n", "append via AddImageRow", append, median(peerAppend),
                append / median(peerAppend));
    std::printf("%-28s %10.1f %10.1f %8.2f\n", "clear", clear, median(peerClear),
                clear / median(peerClear));
    std::printf("%-28s %10.1f\n", "scroll to end and middle", median(ourScroll));
    const bool fast = append < 1000.0 && clear < 1000.0;
    std::printf("target (each under 1000 ms): %s\n", fast ? "met" : "MISSED");
    return fast ? 0 : 2;
}
