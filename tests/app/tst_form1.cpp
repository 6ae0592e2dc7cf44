// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace quorvel;

namespace {
// Remembers every write, in order, on top of the real store.
class RecordingStore : public SettingsStore {
public:
    void SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override {
        writes.append(key + QLatin1Char('=') + value);
        SettingsStore::SaveSetting(app, section, key, value);
    }
    QStringList writes;
};

// Points the store at a folder where "Bramwick" is a plain file: every save fails,
// even for root, while reads find nothing and give their defaults.
void makeStoreUnwritable(const QTemporaryDir& folder) {
    QFile blocker(folder.filePath(QStringLiteral("Bramwick")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    SettingsStore::setConfigFolder(folder.path());
}

QString saveFailedIn(const QString& handler, int line = 0) {
    return QStringLiteral("Permission denied\r\nin Vantrel2021/08/31.Form1.") + handler +
           QStringLiteral(" at line ") + QString::number(line) +
           QStringLiteral("\r\rPlease email screenshot of this message to "
                          "support@bramwick.example");
}

struct Harness {
    explicit Harness(const QString& programFolder,
                     QString desktop = QStringLiteral("/home/me/Desktop"), double random = 0.5)
        : form(Form1Services{dialogs, store, programFolder, [desktop] { return desktop; },
                             [random] { return random; }, [this] { ended = true; }}) {}
    ScriptedDialogs dialogs;
    RecordingStore store;
    bool ended = false;
    Form1 form;
};
} // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void init();
    void firstStartWithEmptyStore();
    void storedOptionIsRestoredThroughItsClick();
    void unreadableOptionFailsOnlyItsStep();
    void noDesktopLeavesText1Empty();
    void oneInAHundredVisitsTheHomePage();
    void typingIntoText2StoresEveryChange();
    void leavingText2ChecksTheFactor_data();
    void leavingText2ChecksTheFactor();
    void nonNumericFactorAsksAndKeepsFocus();
    void unwritableStoreStillStarts();
    void unwritableStoreKeepsTheUsersChoice();
    void chooserReportsTheStepThatSetTheBox_data();
    void chooserReportsTheStepThatSetTheBox();
    void pointerRule();
    void windowHasItsDesignedSizeAndControls();
    void skinFileGivesTheButtonFace();
    void closingEndsTheProgram();

private:
    std::unique_ptr<QTemporaryDir> m_config;
    QTemporaryDir m_programFolder;
};

void Form1Test::init() {
    m_config = std::make_unique<QTemporaryDir>();
    SettingsStore::setConfigFolder(m_config->path());
    QLocale::setDefault(QLocale::c());
}

void Form1Test::firstStartWithEmptyStore() {
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    QVERIFY(h.dialogs.satisfied());
    QCOMPARE(h.form.Text1->text(), QStringLiteral("/home/me/Desktop/"));
    QCOMPARE(h.form.Text2->text(), QStringLiteral("8"));
    QVERIFY(h.form.Option1->isChecked());
    QVERIFY(!h.form.Option2->isChecked() && !h.form.Option3->isChecked() &&
            !h.form.Option4->isChecked());
    // Turning Option1 on from code runs its click, though it was on already.
    QCOMPARE(h.store.writes, (QStringList{"Text1=/home/me/Desktop/", "Text2=8", "Option1=True",
                                          "Option2=False", "Option3=False", "Option4=False"}));
    QCOMPARE(h.form.windowTitle(), QStringLiteral("Quorvel"));
    auto* model = h.form.ListView1->model();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Image File(s)"));
    QCOMPARE(h.form.ListView1->columnWidth(0), 467);
}

void Form1Test::storedOptionIsRestoredThroughItsClick() {
    SettingsStore seed;
    seed.save(settings::kOption1, settings::kFalse);
    seed.save(settings::kOption2, settings::kFalse);
    seed.save(settings::kOption3, settings::kTrue);
    seed.save(settings::kOption4, settings::kFalse);
    seed.save(settings::kText2, QStringLiteral("15")); // shown as stored until the box is left
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    QVERIFY(h.form.Option3->isChecked());
    QVERIFY(!h.form.Option1->isChecked());
    QCOMPARE(h.form.Text2->text(), QStringLiteral("15"));
    const QStringList clicks = h.store.writes.filter(QStringLiteral("Option"));
    QCOMPARE(clicks,
             (QStringList{"Option1=False", "Option2=False", "Option3=True", "Option4=False"}));
}

void Form1Test::unreadableOptionFailsOnlyItsStep() {
    SettingsStore seed;
    // Off, so that no click on it stores all four switches before Option2 is read.
    seed.save(settings::kOption1, settings::kFalse);
    seed.save(settings::kOption2, QStringLiteral("maybe"));
    seed.save(settings::kOption4, settings::kTrue);
    Harness h(m_programFolder.path());
    h.dialogs.expectMessage();
    h.form.Form_Load();
    QVERIFY(h.dialogs.satisfied());
    QCOMPARE(h.dialogs.messages().constFirst(),
             QStringLiteral("Type mismatch\r\nin Vantrel2021/08/31.Form1.Form_Load at line "
                            "138\r\rPlease email screenshot of this message to "
                            "support@bramwick.example"));
    QVERIFY(h.form.Option4->isChecked()); // start-up went on after the failing step
}

void Form1Test::noDesktopLeavesText1Empty() {
    SettingsStore seed;
    seed.save(settings::kText1, QStringLiteral("/stored/out/"));
    Harness h(m_programFolder.path(), QString());
    h.dialogs.expectMessage();
    h.form.Form_Load();
    QVERIFY(h.dialogs.messages().constFirst().contains(QStringLiteral("at line 132\r\r")));
    QCOMPARE(h.form.Text1->text(), QString());
    QCOMPARE(h.form.Text2->text(), QStringLiteral("8"));
}

void Form1Test::oneInAHundredVisitsTheHomePage() {
    Harness lucky(m_programFolder.path(), QStringLiteral("/d"), 0.065); // n = 7
    lucky.dialogs.expectUrl();
    lucky.form.Form_Load();
    QVERIFY(lucky.dialogs.satisfied());
    QCOMPARE(lucky.dialogs.shown().constFirst().text, QStringLiteral("https://bramwick.example/"));

    Harness plain(m_programFolder.path(), QStringLiteral("/d"), 0.075); // n = 8
    plain.form.Form_Load();
    QVERIFY(plain.dialogs.satisfied());
}

void Form1Test::typingIntoText2StoresEveryChange() {
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    h.store.writes.clear();
    h.form.Text2->clear();
    QTest::keyClicks(h.form.Text2, QStringLiteral("12"));
    QCOMPARE(h.store.writes, (QStringList{"Text2=", "Text2=1", "Text2=12"}));
    SettingsStore fresh;
    QCOMPARE(fresh.get(settings::kText2, QString()), QStringLiteral("12"));
}

void Form1Test::leavingText2ChecksTheFactor_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("above ten") << "15"
                               << "10";
    QTest::newRow("half rounds to ten") << "10.5"
                                        << "10.5";
    QTest::newRow("just above") << "10.6"
                                << "10";
    QTest::newRow("fraction kept") << "2.5"
                                   << "2.5";
    QTest::newRow("too large for the conversion") << "40000"
                                                  << "10";
    QTest::newRow("very negative kept") << "-40000"
                                        << "-40000";
}

void Form1Test::leavingText2ChecksTheFactor() {
    QFETCH(QString, typed);
    QFETCH(QString, after);
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    h.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.form));
    h.form.Text2->setFocus();
    h.form.Text2->setText(typed);
    h.form.Text1->setFocus();
    QCOMPARE(h.form.Text2->text(), after);
    SettingsStore fresh;
    QCOMPARE(fresh.get(settings::kText2, QString()), after);
}

void Form1Test::nonNumericFactorAsksAndKeepsFocus() {
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    h.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&h.form));
    h.form.Text2->setFocus();
    h.form.Text2->setText(QStringLiteral("abc"));
    h.dialogs.expectMessage();
    h.form.Text1->setFocus();
    QVERIFY(h.dialogs.satisfied());
    QCOMPARE(h.dialogs.shown().constFirst().text, QStringLiteral("Must be a numeric value."));
    QCOMPARE(h.dialogs.shown().constFirst().style, 0);
    QCOMPARE(h.dialogs.shown().constFirst().title, QStringLiteral("Quorvel"));
    QCOMPARE(h.form.Text2->text(), QStringLiteral("abc"));
    QTRY_VERIFY(h.form.Text2->hasFocus());
}

// A handler that start-up raises by setting a control has no trap of its own: its
// failure is start-up's, at the step that set the control, and start-up goes on.
void Form1Test::unwritableStoreStillStarts() {
    QTemporaryDir blocked;
    makeStoreUnwritable(blocked);
    Harness h(m_programFolder.path());
    h.dialogs.expectMessage().expectMessage().expectMessage();
    h.form.Form_Load();
    const QString formLoad = QStringLiteral("Form_Load");
    QCOMPARE(h.dialogs.messages(),
             (QStringList{saveFailedIn(formLoad, 132), saveFailedIn(formLoad, 134),
                          saveFailedIn(formLoad, 136)}));
    QVERIFY(h.dialogs.satisfied());
    QCOMPARE(h.form.Text1->text(), QStringLiteral("/home/me/Desktop/"));
    QCOMPARE(h.form.Text2->text(), QStringLiteral("8"));
    QVERIFY(h.form.Option1->isChecked());
    h.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.form));
}

void Form1Test::unwritableStoreKeepsTheUsersChoice() {
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    h.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.form));
    QTemporaryDir blocked;
    makeStoreUnwritable(blocked);

    h.dialogs.expectMessage();
    QTest::mouseClick(h.form.Option3, Qt::LeftButton, {}, QPoint(6, h.form.Option3->height() / 2));
    QCOMPARE(h.dialogs.messages(), QStringList{saveFailedIn(QStringLiteral("Option3_Click"))});
    QVERIFY(h.form.Option3->isChecked());
    QVERIFY(!h.form.Option1->isChecked());

    h.dialogs.clear();
    h.dialogs.expectMessage();
    h.form.Text2->setFocus();
    h.form.Text2->end(false);
    QTest::keyClick(h.form.Text2, Qt::Key_5);
    QCOMPARE(h.dialogs.messages(), QStringList{saveFailedIn(QStringLiteral("Text2_Change"))});
    QCOMPARE(h.form.Text2->text(), QStringLiteral("85"));
    QVERIFY(h.dialogs.satisfied());
}

// The chooser sets the output box, whose change handler stores it: a failure
// there is the chooser's step, after its own failing save of the folder.
void Form1Test::chooserReportsTheStepThatSetTheBox_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a folder") << "/data/out" << 106 << "/data/out/";
    QTest::newRow("the root") << "/" << 108 << "/";
}

void Form1Test::chooserReportsTheStepThatSetTheBox() {
    QFETCH(QString, chosen);
    QFETCH(int, line);
    QFETCH(QString, shown);
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    QTemporaryDir blocked;
    makeStoreUnwritable(blocked);
    h.dialogs.expectFolder(chosen).expectMessage().expectMessage();
    h.form.PushButton7->click();
    const QString chooser = QStringLiteral("PushButton7_Click");
    QCOMPARE(h.dialogs.messages(),
             (QStringList{saveFailedIn(chooser, 104), saveFailedIn(chooser, line)}));
    QVERIFY(h.dialogs.satisfied());
    QCOMPARE(h.form.Text1->text(), shown);
}

void Form1Test::pointerRule() {
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    h.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.form));
    QTest::mouseMove(h.form.PushButton1);
    QCOMPARE(h.form.mousePointer(), pointer::kCustom);
    QVERIFY(!h.form.hasCustomPointerImage()); // no HAND-M.CUR here: the hand looks like the arrow
    QTest::mouseMove(h.form.Text1);
    QCOMPARE(h.form.mousePointer(), pointer::kDefault);
    QTest::mouseMove(h.form.PushButton7);
    QCOMPARE(h.form.mousePointer(), pointer::kCustom);
    QCOMPARE(mouseMoveHandler(h.form), QStringLiteral("Form_MouseMove"));
    QCOMPARE(mouseMoveHandler(*h.form.Frame3), QStringLiteral("Frame3_MouseMove"));
    QTest::mouseMove(h.form.Option3); // no handler of its own: unchanged
    QCOMPARE(h.form.mousePointer(), pointer::kCustom);

    h.form.setMousePointer(pointer::kHourglass);
    QTest::mouseMove(h.form.PushButton2);
    QTest::mouseMove(h.form.Text2);
    QCOMPARE(h.form.mousePointer(), pointer::kHourglass);
}

void Form1Test::windowHasItsDesignedSizeAndControls() {
    QFile::copy(QStringLiteral(QUORVEL_SOURCE_DIR "/resources/HAND-M.CUR"),
                m_programFolder.filePath(QStringLiteral("HAND-M.CUR")));
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    QVERIFY(h.form.hasCustomPointerImage());
    QCOMPARE(h.form.size(), QSize(536, 535));
    QCOMPARE(h.form.minimumSize(), h.form.maximumSize());
    QCOMPARE(h.form.PushButton2->text(), QStringLiteral("Start Enlarging"));
    QCOMPARE(h.form.PushButton2->geometry(), QRect(8, 467, 520, 27));
    QCOMPARE(h.form.Option4->text(), QStringLiteral("Zoom          x"));
    QCOMPARE(h.form.Text2->geometry(), QRect(67, 85, 25, 22));
    QCOMPARE(h.form.ProgressBar1->format(), QStringLiteral("Progress Bar"));
    QVERIFY(h.form.Picture1->geometry().top() >= h.form.height());
    QCOMPARE(h.form.ListView1->toolTip(),
             QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | "
                            "line to right and out of window to reveal full names."));
    QFile::remove(m_programFolder.filePath(QStringLiteral("HAND-M.CUR")));
}

void Form1Test::skinFileGivesTheButtonFace() {
    Harness plain(m_programFolder.path());
    plain.form.Form_Load();
    QCOMPARE(plain.form.palette().color(QPalette::Window), QColor(Qt::white));

    QVERIFY(QDir(m_programFolder.path()).mkpath(QStringLiteral("x")));
    QFile skin(m_programFolder.filePath(QStringLiteral("x/o.cjs")));
    QVERIFY(skin.open(QIODevice::WriteOnly));
    skin.close();
    Harness skinned(m_programFolder.path());
    skinned.form.Form_Load();
    const QColor face = skinned.form.palette().color(QPalette::Button);
    QCOMPARE(skinned.form.palette().color(QPalette::Window), face);
    QCOMPARE(skinned.form.Frame3->palette().color(QPalette::Window), face);
    QCOMPARE(skinned.form.Option4->palette().color(QPalette::Window), face);
    QVERIFY(QDir(m_programFolder.filePath(QStringLiteral("x"))).removeRecursively());
}

void Form1Test::closingEndsTheProgram() {
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    h.form.show();
    h.form.close();
    QVERIFY(h.ended);
}

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
