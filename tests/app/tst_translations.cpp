// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "app/translations.h"
#include "enlarge/enlargemessages.h"
#include "platform/testing/scripteddialogs.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QXmlStreamReader>

using namespace quorvel;

namespace {
// Room a caption leaves to its control's frame and focus marks.
constexpr int kMargin = 6;

struct Harness {
    explicit Harness(const QString& programFolder)
        : form(Form1Services{dialogs, store, programFolder,
                             [] { return QStringLiteral("/home/me/Desktop"); }, [] { return 0.5; },
                             [] {}}) {}
    ScriptedDialogs dialogs;
    SettingsStore store;
    Form1 form;
};

QStringList everyMatch(const QString& text, const QRegularExpression& pattern) {
    QStringList found;
    for (const auto& match : pattern.globalMatch(text)) {
        found.append(match.captured());
    }
    return found;
}

// Every line break of a text, in order, with the characters it is made of.
QStringList lineBreaks(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return everyMatch(text, breaks);
}

// A translation may move a placeholder, never drop or add one.
QStringList placeholders(const QString& text) {
    static const QRegularExpression marks(QStringLiteral("%[1-9n]"));
    QStringList found = everyMatch(text, marks);
    found.sort();
    return found;
}

// The text of the element the reader stands on; lupdate writes a CR as <byte value="xd"/>.
QString elementText(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (xml.name() == QLatin1String("byte")) {
                text += QChar(xml.attributes().value(QLatin1String("value")).toUInt(nullptr, 16));
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        default:
            break;
        }
    }
    return text;
}

// A translation keeps its source's placeholders and line breaks, and says something.
bool keepsTheForm(const QString& translation, const QString& source) {
    return !translation.isEmpty() && placeholders(translation) == placeholders(source) &&
           lineBreaks(translation) == lineBreaks(source);
}

int textWidth(const QWidget* control, const QString& text) {
    return QFontMetrics(control->font()).horizontalAdvance(text);
}
} // namespace

class TranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void windowSpeaksTheUsersLanguage_data();
    void windowSpeaksTheUsersLanguage();
    void failureSummaryCountsInTheLanguage_data();
    void failureSummaryCountsInTheLanguage();
    void everyCaptionFits_data();
    void everyCaptionFits();
    void everyCatalogueIsComplete();

private:
    std::unique_ptr<QTemporaryDir> m_config;
    QTemporaryDir m_programFolder;
};

void TranslationsTest::init() {
    m_config = std::make_unique<QTemporaryDir>();
    SettingsStore::setConfigFolder(m_config->path());
    QLocale::setDefault(QLocale::c());
}

void TranslationsTest::windowSpeaksTheUsersLanguage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("startCaption");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("noFiles");
    QTest::addColumn<QString>("errorTitle");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<QString>("yesButton"); // Qt's own, for its dialogs and standard buttons
    const QString location = QStringLiteral("in Vantrel2021/08/31.Form1.Text2_Change at line 0");
    // No catalogue for English: every text is the designed one.
    QTest::newRow("English") << "en_US"
                             << "Start Enlarging"
                             << "Image File(s)"
                             << "No files added."
                             << "Application Error"
                             << "Permission denied\r\n" + location +
                                    "\r\rPlease email screenshot of this message to "
                                    "support@bramwick.example"
                             << "&Yes";
    QTest::newRow("German") << "de_DE"
                            << "Vergrößern starten"
                            << "Bilddateien"
                            << "Keine Dateien hinzugefügt."
                            << "Anwendungsfehler"
                            << "Zugriff verweigert\r\n" + location +
                                   "\r\rBitte senden Sie ein Bildschirmfoto dieser Meldung an "
                                   "support@bramwick.example"
                            << "&Ja";
    QTest::newRow("Japanese") << "ja_JP"
                              << "拡大を開始"
                              << "画像ファイル"
                              << "ファイルが追加されていません。"
                              << "アプリケーション エラー"
                              << "アクセスが拒否されました\r\n" + location +
                                     "\r\rこのメッセージのスクリーンショットを "
                                     "support@bramwick.example までメールでお送りください"
                              << "はい(&Y)";
}

void TranslationsTest::windowSpeaksTheUsersLanguage() {
    QFETCH(QString, locale);
    QFETCH(QString, startCaption);
    QFETCH(QString, header);
    QFETCH(QString, noFiles);
    QFETCH(QString, errorTitle);
    QFETCH(QString, errorText);
    QFETCH(QString, yesButton);
    const Translations translations{QLocale(locale)};
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    QCOMPARE(h.form.PushButton2->text(), startCaption);
    QCOMPARE(h.form.ListView1->model()->headerData(0, Qt::Horizontal).toString(), header);

    h.dialogs.expectMessage();
    h.form.PushButton2->click();
    QCOMPARE(h.dialogs.messages(), QStringList{noFiles});

    // The notice names the contact page as it is, whatever the language.
    h.dialogs.expectMessage();
    h.form.PushButton6->click();
    QVERIFY(h.dialogs.shown().constLast().text.contains(
        QStringLiteral("https://bramwick.example/contact")));

    QTemporaryDir blocked;
    QFile blocker(blocked.filePath(QStringLiteral("Bramwick")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    SettingsStore::setConfigFolder(blocked.path());
    h.dialogs.expectMessage();
    h.form.Text2->setText(QStringLiteral("5"));
    QCOMPARE(h.dialogs.shown().constLast().title, errorTitle);
    QCOMPARE(h.dialogs.shown().constLast().text, errorText);
    QVERIFY(h.dialogs.satisfied());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), yesButton);
}

// The count of files attempted takes the language's plural form; the reason is
// translated, the converter's own words are not.
void TranslationsTest::failureSummaryCountsInTheLanguage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("attempted");
    QTest::addColumn<QString>("summary");
    QTest::newRow("Russian, one") << "ru_RU" << 1
                                  << "Готово.\r\n\r\nНе удалось увеличить 1 из 1 файла:\r\na.png: "
                                     "файл повреждён или неполон (bad header)";
    QTest::newRow("Russian, few") << "ru_RU" << 3
                                  << "Готово.\r\n\r\nНе удалось увеличить 1 из 3 файлов:\r\na.png: "
                                     "файл повреждён или неполон (bad header)";
    QTest::newRow("Russian, 21") << "ru_RU" << 21
                                 << "Готово.\r\n\r\nНе удалось увеличить 1 из 21 файла:\r\na.png: "
                                    "файл повреждён или неполон (bad header)";
    QTest::newRow("Japanese")
        << "ja_JP" << 2
        << "完了しました。\r\n\r\n2 個中 1 個のファイルを拡大できませんでした:"
           "\r\na.png：ファイルが破損しているか不完全です（bad header）";
    QTest::newRow("English") << "en_US" << 2
                             << "Done.\r\n\r\n1 of 2 file(s) could not be enlarged:\r\na.png: the "
                                "file is damaged or incomplete (bad header)";
}

void TranslationsTest::failureSummaryCountsInTheLanguage() {
    QFETCH(QString, locale);
    QFETCH(int, attempted);
    QFETCH(QString, summary);
    const Translations translations{QLocale(locale)};
    const FailedConversion failure{QStringLiteral("a.png"), ConversionOutcome::Damaged,
                                   QStringLiteral("bad header")};
    QCOMPARE(doneMessage({failure}, attempted), summary);
}

void TranslationsTest::everyCaptionFits_data() {
    QTest::addColumn<QString>("locale");
    for (const char* locale :
         {"en_US", "de_DE", "fr_FR", "es_ES", "it_IT", "pt_BR", "ru_RU", "ja_JP", "zh_CN"}) {
        QTest::newRow(locale) << QString::fromLatin1(locale);
    }
}

void TranslationsTest::everyCaptionFits() {
    QFETCH(QString, locale);
    const Translations translations{QLocale(locale)};
    QCOMPARE(translations.found(), locale != QLatin1String("en_US"));
    Harness h(m_programFolder.path());
    h.form.Form_Load();
    Form1& form = h.form;

    for (const QPushButton* button : form.findChildren<QPushButton*>()) {
        QVERIFY2(textWidth(button, button->text()) + 2 * kMargin <= button->width(),
                 qPrintable(button->text()));
    }
    for (const QGroupBox* frame : form.findChildren<QGroupBox*>()) {
        QVERIFY2(textWidth(frame, frame->title()) + 4 * kMargin <= frame->width(),
                 qPrintable(frame->title()));
    }
    const int indicator = form.style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          form.style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    for (const QRadioButton* option : form.findChildren<QRadioButton*>()) {
        QVERIFY2(indicator + textWidth(option, option->text()) + kMargin <= option->width(),
                 qPrintable(option->text()));
    }
    // The factor box sits on the custom option's run of spaces: what comes before
    // it is no wider than the designed "Zoom" (whose last letter the box already
    // touches), what comes after it starts right of the box.
    static const QRegularExpression gap(QStringLiteral("^(.*?)( {5,})(.*)$"));
    const auto parts = gap.match(form.Option4->text());
    QVERIFY2(parts.hasMatch(), qPrintable(form.Option4->text()));
    const int boxRight = form.Text2->geometry().right() + 1 - form.Option4->x();
    QVERIFY2(textWidth(form.Option4, parts.captured(1)) <=
                 textWidth(form.Option4, QStringLiteral("Zoom")),
             qPrintable(parts.captured(1)));
    QVERIFY2(indicator + textWidth(form.Option4, parts.captured(1) + parts.captured(2)) >= boxRight,
             qPrintable(form.Option4->text()));

    const QString header = form.ListView1->model()->headerData(0, Qt::Horizontal).toString();
    QVERIFY2(textWidth(form.ListView1, header) + 2 * kMargin <= form.ListView1->columnWidth(0),
             qPrintable(header));
    QVERIFY2(textWidth(form.ProgressBar1, form.ProgressBar1->format()) + 2 * kMargin <=
                 form.ProgressBar1->width(),
             qPrintable(form.ProgressBar1->format()));
}

// lupdate over today's sources, into copies of the catalogues: a text that is
// new, changed or gone shows as unfinished or vanished there.
void TranslationsTest::everyCatalogueIsComplete() {
    QTemporaryDir work;
    QStringList arguments{QStringLiteral("@" QUORVEL_TRANSLATED_SOURCES_LIST),
                          QStringLiteral("-I"),
                          QStringLiteral(QUORVEL_SOURCE_DIR),
                          QStringLiteral("-locations"),
                          QStringLiteral("none"),
                          QStringLiteral("-ts")};
    const QStringList catalogues = QStringLiteral(QUORVEL_TS_FILES).split(QLatin1Char('|'));
    QCOMPARE(catalogues.size(), 8);
    for (const QString& catalogue : catalogues) {
        const QString copy = work.filePath(QFileInfo(catalogue).fileName());
        QVERIFY(QFile::copy(catalogue, copy));
        arguments.append(copy);
    }
    QProcess lupdate;
    lupdate.start(QStringLiteral(QUORVEL_LUPDATE), arguments);
    QVERIFY(lupdate.waitForFinished(60000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

    for (const QString& catalogue : catalogues) {
        QFile file(work.filePath(QFileInfo(catalogue).fileName()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString source;
        bool numerus = false;
        int translated = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) {
                continue;
            }
            const QString where = catalogue + QStringLiteral(": ") + source;
            if (xml.name() == QLatin1String("message")) {
                numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            } else if (xml.name() == QLatin1String("source")) {
                source = elementText(xml);
            } else if (xml.name() == QLatin1String("translation")) {
                QVERIFY2(xml.attributes().value(QLatin1String("type")).isEmpty(),
                         qPrintable(where));
                ++translated;
                if (!numerus) {
                    QVERIFY2(keepsTheForm(elementText(xml), source), qPrintable(where));
                }
            } else if (xml.name() == QLatin1String("numerusform")) {
                QVERIFY2(keepsTheForm(elementText(xml), source), qPrintable(where));
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(translated > 0);
    }
}

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
