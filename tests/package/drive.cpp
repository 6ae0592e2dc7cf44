// SPDX-License-Identifier: MIT
// Loaded into the packaged program by check-package.sh: loads the samples the
// package carries, enlarges them 2x into $QUORVEL_DRIVE_OUTPUT and ends the
// process with 0 only when every sample came out twice its size. Every message
// box is answered at once ("No" to opening the samples folder) and recorded.
#include <QApplication>
#include <QDir>
#include <QGenericPlugin>
#include <QImageReader>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kGiveUpMs = 60000;

class Driver : public QObject {
public:
    Driver() {
        QTimer::singleShot(kGiveUpMs, this, [] { fail("gave up waiting for the window"); });
        QTimer::singleShot(0, this, [this] { waitForWindow(); });
    }

private:
    [[noreturn]] static void fail(const QString& why) {
        std::fprintf(stderr, "drive: FAIL: %s\n", qPrintable(why));
        std::fflush(stdout);
        std::_Exit(1);
    }

    template <typename T> static T* control(QWidget* form, const char* name) {
        auto* widget = form->findChild<T*>(QLatin1String(name));
        if (widget == nullptr) {
            fail(QStringLiteral("no control %1").arg(QLatin1String(name)));
        }
        return widget;
    }

    void waitForWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("Form1") && widget->isVisible()) {
                run(widget);
                return;
            }
        }
        QTimer::singleShot(10, this, [this] { waitForWindow(); });
    }

    // A box is modal inside the click that raised it; this answers it from the
    // box's own event loop.
    void answerBoxes() {
        auto* boxes = new QTimer(this);
        connect(boxes, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            m_messages << box->text();
            std::printf("drive: box: %s\n", qPrintable(box->text()));
            QAbstractButton* answer = box->button(QMessageBox::No);
            box->done(answer != nullptr ? QMessageBox::No : QMessageBox::Ok);
        });
        boxes->start(5);
    }

    void run(QWidget* form) {
        const QString output = qEnvironmentVariable("QUORVEL_DRIVE_OUTPUT");
        if (output.isEmpty() || !QDir(output).exists()) {
            fail(QStringLiteral("QUORVEL_DRIVE_OUTPUT is no folder"));
        }
        answerBoxes();
        control<QLineEdit>(form, "Text1")->setText(output + QLatin1Char('/'));
        control<QRadioButton>(form, "Option1")->click();
        control<QPushButton>(form, "PushButton5")->click();
        const int rows = control<QTreeView>(form, "ListView1")->model()->rowCount();
        std::printf("drive: %d samples listed\n", rows);
        control<QPushButton>(form, "PushButton2")->click();
        if (m_messages.size() != 2 || m_messages.last() != QLatin1String("Done.")) {
            fail(QStringLiteral("the boxes were not the samples question and \"Done.\""));
        }
        check(rows, output);
    }

    static void check(int rows, const QString& output) {
        const QDir samples(QCoreApplication::applicationDirPath() + QStringLiteral("/Samples"));
        const QStringList names = samples.entryList(QDir::Files, QDir::Name);
        if (names.isEmpty() || rows != names.size()) {
            fail(QStringLiteral("%1 rows for %2 samples").arg(rows).arg(names.size()));
        }
        for (const QString& name : names) {
            const QSize in = QImageReader(samples.filePath(name)).size();
            const QSize out = QImageReader(QDir(output).filePath(name)).size();
            std::printf("drive: %s %dx%d -> %dx%d\n", qPrintable(name), in.width(), in.height(),
                        out.width(), out.height());
            if (!in.isValid() || out != in * 2) {
                fail(name + QStringLiteral(" was not enlarged 2x"));
            }
        }
        std::printf("drive: OK\n");
        std::fflush(stdout);
        std::_Exit(0);
    }

    QStringList m_messages;
};

} // namespace

class DrivePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "drive.json")
public:
    QObject* create(const QString&, const QString&) override { return new Driver; }
};

#include "drive.moc"
