// SPDX-License-Identifier: MIT
#include "app/samplefiles.h"
#include "imagelist/imagelist.h"
#include "platform/testing/scripteddialogs.h"
#include "sandbox.h"

#include <QTest>
#include <QUrl>
#include <memory>

using namespace quorvel;

class SampleFilesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void samplesAreAddedOnceAndTheQuestionAlwaysFollows();
    void samplesComeBackAndCompareCaseSensitively();
    void missingSamplesFolderStillAsks();

private:
    std::unique_ptr<Sandbox> m_dir;
    ImageListModel m_model;
    std::unique_ptr<ImageList> m_list;
    ScriptedDialogs m_dialogs;
};

void SampleFilesTest::init() {
    m_dir = std::make_unique<Sandbox>();
    m_model.clear();
    m_list = std::make_unique<ImageList>(m_model);
    m_dialogs.clear();
}

void SampleFilesTest::samplesAreAddedOnceAndTheQuestionAlwaysFollows() {
    const QString program = m_dir->path();
    m_dir->add("Samples/b.png");
    m_dir->add("Samples/a.jpg");
    m_dir->add("Samples/nested/c.gif"); // subfolders are not looked into
    m_dialogs.expectMessage(MsgBoxResult::No);
    loadSampleFiles(*m_list, m_dialogs, program);
    QCOMPARE(m_list->texts(),
             (QStringList{program + "/Samples/a.jpg", program + "/Samples/b.png"}));
    QCOMPARE(m_dialogs.shown().constLast().text, openSamplesQuestion());
    QCOMPARE(m_dialogs.shown().constLast().style, 4);
    QCOMPARE(m_dialogs.shown().constLast().title, QStringLiteral("Quorvel"));

    m_dialogs.expectMessage(MsgBoxResult::Yes).expectUrl();
    loadSampleFiles(*m_list, m_dialogs, program);
    QCOMPARE(m_list->count(), 2);
    QVERIFY(m_dialogs.satisfied());
    QCOMPARE(QUrl(m_dialogs.shown().constLast().text).toLocalFile(), program + "/Samples/");
}

void SampleFilesTest::samplesComeBackAndCompareCaseSensitively() {
    const QString program = m_dir->path();
    m_dir->add("Samples/a.jpg");
    m_dir->add("Samples/b.png");
    AddImageRow(*m_list, program + "/Samples/B.PNG");
    m_dialogs.expectMessage(MsgBoxResult::No).expectMessage(MsgBoxResult::No);
    loadSampleFiles(*m_list, m_dialogs, program);
    m_list->remove(2); // the user takes a.jpg out again
    loadSampleFiles(*m_list, m_dialogs, program);
    QCOMPARE(m_list->texts(), (QStringList{program + "/Samples/B.PNG", program + "/Samples/b.png",
                                           program + "/Samples/a.jpg"}));
    QVERIFY(m_dialogs.satisfied());
}

void SampleFilesTest::missingSamplesFolderStillAsks() {
    m_dialogs.expectMessage(MsgBoxResult::No);
    loadSampleFiles(*m_list, m_dialogs, m_dir->path("nowhere"));
    QCOMPARE(m_list->count(), 0);
    QVERIFY(m_dialogs.satisfied());
}

QTEST_MAIN(SampleFilesTest)
#include "tst_samplefiles.moc"
