// SPDX-License-Identifier: MIT
// The real window driving the real converter it carries inside.
#include "app/form1.h"
#include "enlarge/converterdeployment.h"
#include "enlarge/embeddedconverter.h"
#include "imagelist/imagelist.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quorvel;

namespace {

struct Window {
    explicit Window(const QString& folder)
        : form(Form1Services{dialogs, store, folder, [folder] { return folder; },
                             [] { return 0.5; }, [this] { ended = true; }}) {}
    ScriptedDialogs dialogs;
    SettingsStore store;
    bool ended = false;
    Form1 form;
};

} // namespace

class EnlargeEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
#ifndef QUORVEL_HAVE_CONVERTER
        QSKIP("this build carries no converter");
#endif
        QVERIFY(m_config.isValid());
        SettingsStore::setConfigFolder(m_config.path());
    }

    void init() {
        m_dir.emplace();
        qputenv("TEMP", QFile::encodeName(m_dir->path()));
        QDir(m_dir->path()).mkpath(QStringLiteral("in"));
        QDir(m_dir->path()).mkpath(QStringLiteral("out"));
        m_window = std::make_unique<Window>(m_dir->path());
        m_window->form.Text1->setText(out(QString()));
        m_window->form.Option1->setChecked(true);
    }
    void cleanup() {
        m_window.reset();
        qunsetenv("TEMP");
    }

    // Names that break a command line built as text; each format the window offers.
    void enlargesEveryRowInItsOwnFormat() {
        const QStringList names{
            QStringLiteral("two  blanks.jpg"), QStringLiteral("say \"cheese\" 'now'.png"),
            QStringLiteral("-o leading dash.bmp"), QStringLiteral("Größe 写真.gif")};
        const QList<QByteArray> formats{"jpeg", "png", "bmp", "gif"};
        for (qsizetype i = 0; i < names.size(); ++i) {
            addPicture(names.at(i), formats.at(i), QSize(40 + int(i), 30));
        }
        m_window->dialogs.expectMessage();
        m_window->form.PushButton2->click();

        QCOMPARE(m_window->dialogs.messages(), QStringList{QStringLiteral("Done.")});
        for (qsizetype i = 0; i < names.size(); ++i) {
            QImageReader reader(out(names.at(i)));
            QCOMPARE(reader.size(), QSize(2 * (40 + int(i)), 60));
            QCOMPARE(reader.format(), formats.at(i));
        }
        QCOMPARE(m_window->form.ProgressBar1->value(), 0);
        QCOMPARE(m_window->form.ProgressBar1->text(), QStringLiteral("Progress Bar"));
        QCOMPARE(m_window->form.mousePointer(), pointer::kDefault);
        QVERIFY(!QFileInfo::exists(ConverterPath()));
    }

    // What the converter says of a file it could not enlarge reaches the summary: a damaged
    // JPEG among good ones, and a picture of a format it does not read.
    void theSummarySaysWhyAFileFailed() {
        addPicture(QStringLiteral("first.jpg"), "jpeg", QSize(400, 300));
        const QString whole = in(QStringLiteral("first.jpg"));
        QFile source(whole);
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        writeInput(QStringLiteral("broken.jpg"), bytes.left(bytes.size() / 2));
        // A portable pixmap: the window can measure it, the converter does not read it.
        writeInput(QStringLiteral("pixmap.png"),
                   QByteArray("P6\n2 2\n255\n") + QByteArray(12, 'a'));
        addPicture(QStringLiteral("last.png"), "png", QSize(8, 8));

        m_window->dialogs.expectMessage();
        m_window->form.PushButton2->click();
        const QStringList lines =
            m_window->dialogs.messages().value(0).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, 3), (QStringList{QStringLiteral("Done."), QString(),
                                               QStringLiteral("2 of 4 file(s) could not be "
                                                              "enlarged:")}));
        QCOMPARE(lines.size(), 5);
        QVERIFY2(lines.at(3).startsWith(
                     QStringLiteral("broken.jpg: the file is damaged or incomplete (corrupt or ")),
                 qPrintable(lines.at(3)));
        QVERIFY2(lines.at(3).endsWith(QLatin1Char(')')), qPrintable(lines.at(3)));
        QVERIFY2(lines.at(4).startsWith(
                     QStringLiteral("pixmap.png: not a picture format this program reads (")),
                 qPrintable(lines.at(4)));
        QVERIFY(!lines.join(QString()).contains(m_dir->path())); // no "nconvert: PATH: "
        QCOMPARE(QImageReader(out(QStringLiteral("first.jpg"))).size(), QSize(800, 600));
        QCOMPARE(QImageReader(out(QStringLiteral("last.png"))).size(), QSize(16, 16));
        QVERIFY(!QFileInfo::exists(out(QStringLiteral("broken.jpg"))));
    }

    // Even for root, a regular file where the output's folder should be refuses the write.
    void theSummarySaysWhenAResultCannotBeWritten() {
        addPicture(QStringLiteral("a.png"), "png", QSize(8, 8));
        const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // The user changes the output box once the run is under way.
        QTimer::singleShot(0, &m_window->form,
                           [&] { m_window->form.Text1->setText(blocker + QLatin1Char('/')); });
        m_window->dialogs.expectMessage();
        m_window->form.PushButton2->click();
        const QString summary = m_window->dialogs.messages().value(0);
        QVERIFY2(summary.startsWith(QStringLiteral(
                     "Done.\r\n\r\n1 of 1 file(s) could not be enlarged:\r\na.png: the result "
                     "could not be written (")),
                 qPrintable(summary));
    }

    void widestAllowedPictureIsEnlarged() {
        addPicture(QStringLiteral("edge.png"), "png", QSize(7500, 2));
        addPicture(QStringLiteral("over.png"), "png", QSize(7501, 1));
        m_window->dialogs.expectMessage().expectMessage();
        m_window->form.PushButton2->click();
        QCOMPARE(m_window->dialogs.messages(),
                 (QStringList{QStringLiteral("Cannot enlarge over.png.\r\nMaximum dimension of "
                                             "result file must be 15,000 pixels or less."),
                              QStringLiteral("Done.")}));
        QCOMPARE(QImageReader(out(QStringLiteral("edge.png"))).size(), QSize(15000, 4));
        QVERIFY(!QFileInfo::exists(out(QStringLiteral("over.png"))));
    }

    // Pictures saved from the web and scans go the same way: measured from their headers,
    // enlarged in their own format, and one past the size limit refused before the converter.
    void webpAndTiffAreEnlargedAndMeasured() {
        addPicture(QStringLiteral("saved.webp"), "webp", QSize(40, 30));
        addPicture(QStringLiteral("scan.tif"), "tiff", QSize(41, 30));
        addPicture(QStringLiteral("over.webp"), "webp", QSize(7501, 1));
        m_window->dialogs.expectMessage().expectMessage();
        m_window->form.PushButton2->click();
        QCOMPARE(m_window->dialogs.messages(),
                 (QStringList{QStringLiteral("Cannot enlarge over.webp.\r\nMaximum dimension of "
                                             "result file must be 15,000 pixels or less."),
                              QStringLiteral("Done.")}));
        QImageReader webp(out(QStringLiteral("saved.webp")));
        QCOMPARE(webp.size(), QSize(80, 60));
        QCOMPARE(webp.format(), QByteArray("webp"));
        QImageReader tiff(out(QStringLiteral("scan.tif")));
        QCOMPARE(tiff.size(), QSize(82, 60));
        QCOMPARE(tiff.format(), QByteArray("tiff"));
        QVERIFY(!QFileInfo::exists(out(QStringLiteral("over.webp"))));
    }

    // While the run yields, the window's other gestures see it busy.
    void theWindowIsBusyDuringARun() {
        addPicture(QStringLiteral("a.png"), "png", QSize(8, 8));
        addPicture(QStringLiteral("b.png"), "png", QSize(8, 8));
        bool busy = false;
        int rows = 0;
        QTimer::singleShot(0, &m_window->form, [&] {
            busy = m_window->form.isBusy();
            m_window->form.PushButton2->click(); // a second run does not start
            m_window->form.PushButton4->click(); // "Clear List" is refused
            rows = m_window->form.imageList().count();
        });
        m_window->dialogs.expectMessage();
        m_window->form.PushButton2->click();
        QVERIFY(busy);
        QCOMPARE(rows, 2);
        QCOMPARE(m_window->dialogs.messages(), QStringList{QStringLiteral("Done.")});
    }

    void closingDuringARunEndsIt() {
        addPicture(QStringLiteral("a.png"), "png", QSize(8, 8));
        addPicture(QStringLiteral("b.png"), "png", QSize(8, 8));
        // Close once the converter is in place, in whichever yield that is seen.
        QTimer closer;
        bool closed = false;
        QObject::connect(&closer, &QTimer::timeout, &m_window->form, [&] {
            if (!closed && QFileInfo::exists(ConverterPath())) {
                closed = true;
                closer.stop();
                m_window->form.close();
            }
        });
        closer.start(0);
        m_window->form.PushButton2->click();
        QVERIFY(closed);
        QVERIFY(m_window->ended);
        QVERIFY(m_window->dialogs.messages().isEmpty());
        QVERIFY(!QFileInfo::exists(ConverterPath()));
        QVERIFY(!QFileInfo::exists(out(QStringLiteral("b.png"))));
    }

#ifdef QUORVEL_HAVE_CONVERTER
    // The converter runs from the temporary folder, where anyone may leave a library under the
    // name of its libvips or of its libvips module: neither the window's run nor a start by
    // hand of that copy loads either. A photo made into a GIF needs libvips (quantising to a
    // palette); the window's own run, a BMP, needs none.
    void aLibraryPlantedBesideTheConverterIsNeverLoaded() {
        const QString folder = QFileInfo(ConverterPath()).path();
        for (const char* name : {CONVERTER_LIBRARY_NAME, CONVERTER_MODULE_NAME})
            QVERIFY(QFile::copy(QStringLiteral(PLANTED_LIBRARY_PATH),
                                folder + QLatin1Char('/') + QLatin1String(name)));
        const QString mark = m_dir->filePath(QStringLiteral("planted-library-was-loaded"));
        qputenv("QUORVEL_PLANTED_MARK", QFile::encodeName(mark));
        addPicture(QStringLiteral("a.bmp"), "bmp", QSize(16, 12));
        m_window->dialogs.expectMessage();
        m_window->form.PushButton2->click();
        QCOMPARE(m_window->dialogs.messages(), QStringList{QStringLiteral("Done.")});
        QCOMPARE(QImageReader(out(QStringLiteral("a.bmp"))).size(), QSize(32, 24));
        QVERIFY(!QFileInfo::exists(mark));

        DeployConverter(embeddedConverter());
        QImage photo(32, 32, QImage::Format_RGB32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                photo.setPixel(x, y, qRgb(x * 8, y * 8, (x + y) * 4));
        QVERIFY(photo.save(in(QStringLiteral("photo.png")), "PNG"));
        const QStringList convertBmp = {
            QStringLiteral("-resize"),    QStringLiteral("200%"),
            QStringLiteral("200%"),       QStringLiteral("-o"),
            out(QStringLiteral("b.gif")), in(QStringLiteral("photo.png"))};
        QProcess byHand;
        byHand.start(ConverterPath(), convertBmp);
        QVERIFY(byHand.waitForFinished());
        QVERIFY(!QFileInfo::exists(mark));
        // The plant is real: a loader told to look in that folder does load it.
        QProcessEnvironment lured = QProcessEnvironment::systemEnvironment();
        lured.insert(QStringLiteral("LD_LIBRARY_PATH"), folder);
        byHand.setProcessEnvironment(lured);
        byHand.start(ConverterPath(), convertBmp);
        QVERIFY(byHand.waitForFinished());
        QVERIFY(QFileInfo::exists(mark));
        qunsetenv("QUORVEL_PLANTED_MARK");
    }
#endif

private:
    QString in(const QString& name) const {
        return m_dir->filePath(QStringLiteral("in/") + name);
    }
    QString out(const QString& name) const {
        return m_dir->filePath(QStringLiteral("out/") + name);
    }

    void writeInput(const QString& name, const QByteArray& bytes) {
        QFile file(in(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        AddImageRow(m_window->form.imageList(), in(name));
    }

    void addPicture(const QString& name, const QByteArray& format, const QSize& size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(200, 120, 40));
        const QString path = in(name);
        if (format == "gif") {
            // Qt writes no GIF; our converter does.
            const QString png = m_dir->filePath(QStringLiteral("seed.png"));
            QVERIFY(image.save(png, "PNG"));
            QCOMPARE(QProcess::execute(QStringLiteral(NCONVERT_PATH),
                                       {QStringLiteral("-resize"), QStringLiteral("100%"),
                                        QStringLiteral("100%"), QStringLiteral("-o"), path, png}),
                     0);
        } else {
            QVERIFY(image.save(path, format.constData()));
        }
        AddImageRow(m_window->form.imageList(), path);
    }

    QTemporaryDir m_config;
    std::optional<QTemporaryDir> m_dir;
    std::unique_ptr<Window> m_window;
};

QTEST_MAIN(EnlargeEndToEndTest)
#include "tst_enlargeendtoend.moc"
