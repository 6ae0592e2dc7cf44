// SPDX-License-Identifier: MIT
// Times a run of the real window over N small JPEGs against N starts of the
// same converter from a loop, and against ImageMagick's `convert` from the same
// loop, rotating the order per round; prints medians, per-file figures and the ratio.
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
    QStringList openFiles(const QString&, const QString&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
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

// ImageMagick's own program: a `convert` earlier on the PATH may be a wrapper.
QString imageMagick() {
    const QString chosen = qEnvironmentVariable("IM_CONVERT");
    if (!chosen.isEmpty()) {
        return chosen;
    }
    for (const char* path : {"/usr/bin/convert-im6.q16", "/usr/bin/convert"}) {
        if (QFileInfo(QString::fromLatin1(path)).isExecutable()) {
            return QString::fromLatin1(path);
        }
    }
    return QStringLiteral("convert");
}

enum class Tool { Nconvert, ImageMagick };

double loop(Tool tool, const QStringList& sources, const QString& outFolder) {
    QElapsedTimer clock;
    clock.start();
    const QString im = imageMagick();
    for (const QString& source : sources) {
        const QString output = outFolder + QLatin1Char('/') + QFileInfo(source).fileName();
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        if (tool == Tool::Nconvert) {
            process.start(QStringLiteral(NCONVERT_PATH),
                          {QStringLiteral("-resize"), QStringLiteral("200%"),
                           QStringLiteral("200%"), QStringLiteral("-o"), output, source});
        } else {
            process.start(im, {source, QStringLiteral("-resize"), QStringLiteral("200%"), output});
        }
        process.waitForFinished(-1);
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            std::fprintf(stderr, "conversion failed: %s\n", qPrintable(source));
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

    // Rotating which goes first, so none always meets a warm or a cold cache.
    constexpr double kLimit = 1.2;
    QList<double> direct;
    QList<double> window;
    QList<double> magick;
    QList<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const QString outDirect = work.path() + QStringLiteral("/direct%1").arg(round);
        const QString outWindow = work.path() + QStringLiteral("/window%1").arg(round);
        const QString outMagick = work.path() + QStringLiteral("/magick%1").arg(round);
        for (const QString& folder : {outDirect, outWindow, outMagick}) {
            QDir().mkpath(folder);
        }
        for (int step = 0; step < 3; ++step) {
            switch ((round + step) % 3) {
            case 0:
                direct.append(loop(Tool::Nconvert, sources, outDirect));
                break;
            case 1:
                window.append(windowRun(sources, outWindow, work.path()));
                break;
            default:
                magick.append(loop(Tool::ImageMagick, sources, outMagick));
                break;
            }
        }
        ratios.append(window.last() / direct.last());
        std::printf("round %d: direct loop %.0f ms, window run %.0f ms, ImageMagick loop %.0f ms, "
                    "ratio %.3f\n",
                    round + 1, direct.last(), window.last(), magick.last(), ratios.last());
    }
    const double d = median(direct);
    const double w = median(window);
    const double m = median(magick);
    const double r = median(ratios);
    std::printf("%d JPEGs, median of %d rounds: direct loop %.0f ms (%.1f ms/file), window run "
                "%.0f ms (%.1f ms/file), ImageMagick loop %.0f ms (%.1f ms/file); window / "
                "direct: ratio of medians %.3f, median of round ratios %.3f (limit %.2f)\n",
                count, rounds, d, d / count, w, w / count, m, m / count, w / d, r, kLimit);
    std::printf("%s\n", r <= kLimit ? "within the limit" : "OVER THE LIMIT");
    return 0;
}
