// SPDX-License-Identifier: MIT
// Times a run of the real window over N small JPEGs against N starts of the
// same converter from a loop, alternating the two, and prints medians and the ratio.
#include "app/form1.h"
#include "imagelist/imagelist.h"
#include "platform/dialogs.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace quorvel;

namespace {

// Answers every box with OK and keeps the last text.
class AnsweringDialogs : public Dialogs {
public:
    MsgBoxResult messageBox(const QString& text, int, const QString&) override {
        last = text;
        return MsgBoxResult::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFiles(QWidget*, const QString&, const QString&) override { return {}; }
    QString browseForFolder(QWidget*, const QString&, const QString&) override { return {}; }
    void openUrl(const QUrl&) override {}
    QString last;
};

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

QStringList makePictures(const QString& folder, int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QImage image(96, 64, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((i * 7) % 360, 160, 200));
        const QString path =
            folder + QStringLiteral("/photo%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
        image.save(path, "JPEG", 85);
        paths.append(path);
    }
    return paths;
}

double directLoop(const QStringList& sources, const QString& outFolder) {
    QElapsedTimer clock;
    clock.start();
    for (const QString& source : sources) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(QStringLiteral(NCONVERT_PATH),
                      {QStringLiteral("-resize"), QStringLiteral("200%"), QStringLiteral("200%"),
                       QStringLiteral("-o"),
                       outFolder + QLatin1Char('/') + QFileInfo(source).fileName(), source});
        process.waitForFinished(-1);
        if (process.exitCode() != 0) {
            std::fprintf(stderr, "direct conversion failed: %s\n", qPrintable(source));
        }
    }
    return clock.nsecsElapsed() / 1e6;
}

double windowRun(const QStringList& sources, const QString& outFolder, const QString& config) {
    AnsweringDialogs dialogs;
    SettingsStore settings;
    Form1 form(Form1Services{dialogs, settings, config, [config] { return config; },
                             [] { return 0.5; }, [] {}});
    form.Text1->setText(outFolder + QLatin1Char('/'));
    form.Option1->setChecked(true);
    for (const QString& source : sources) {
        AddImageRow(form.imageList(), source);
    }
    QElapsedTimer clock;
    clock.start();
    form.PushButton2->click();
    const double ms = clock.nsecsElapsed() / 1e6;
    if (dialogs.last != QStringLiteral("Done.")) {
        std::fprintf(stderr, "window run ended with: %s\n", qPrintable(dialogs.last));
    }
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    QTemporaryDir work;
    qputenv("TEMP", QFile::encodeName(work.path()));
    SettingsStore::setConfigFolder(work.path() + QStringLiteral("/config"));
    QDir(work.path()).mkpath(QStringLiteral("in"));
    const QStringList sources = makePictures(work.path() + QStringLiteral("/in"), count);

    // Alternating which goes first, so neither always meets a warm or a cold cache.
    QList<double> direct;
    QList<double> window;
    QList<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const QString outDirect = work.path() + QStringLiteral("/direct%1").arg(round);
        const QString outWindow = work.path() + QStringLiteral("/window%1").arg(round);
        QDir().mkpath(outDirect);
        QDir().mkpath(outWindow);
        if (round % 2 == 0) {
            direct.append(directLoop(sources, outDirect));
            window.append(windowRun(sources, outWindow, work.path()));
        } else {
            window.append(windowRun(sources, outWindow, work.path()));
            direct.append(directLoop(sources, outDirect));
        }
        ratios.append(window.last() / direct.last());
        std::printf("round %d: direct loop %.0f ms, window run %.0f ms, ratio %.3f\n", round + 1,
                    direct.last(), window.last(), ratios.last());
    }
    const double d = median(direct);
    const double w = median(window);
    const double r = median(ratios);
    std::printf("%d JPEGs, median of %d rounds: direct loop %.0f ms (%.1f ms/file), window run "
                "%.0f ms (%.1f ms/file); ratio of medians %.3f, median of round ratios %.3f "
                "(limit 1.15)\n",
                count, rounds, d, d / count, w, w / count, w / d, r);
    std::printf("%s\n", r <= 1.15 ? "within the limit" : "OVER THE LIMIT");
    return 0;
}
