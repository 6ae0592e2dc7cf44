// SPDX-License-Identifier: MIT
#include "folders/filedrop.h"
#include "folders/folderfilesystem.h"
#include "folders/widgets/qfiledropadapter.h"
#include "imagelist/imagelist.h"
#include "platform/testing/scripteddialogs.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <cerrno>

using namespace quorvel;

namespace {
void touch(const QString& path, QFile::Permissions permissions = {}) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    if (permissions) {
        file.setPermissions(permissions);
    }
}

// The disk as it is, but for one folder whose files cannot be read (as a
// folder made unreadable, or a failing disk, would be even for root).
class UnreadableFiles : public FolderFileSystem {
public:
    explicit UnreadableFiles(QString folder) : m_folder(std::move(folder)) {}
    FolderEntries readFolder(const QString& path) const override {
        if (path == m_folder) {
            FolderEntries failed;
            failed.openError = EIO;
            return failed;
        }
        return FolderFileSystem::readFolder(path);
    }
    std::optional<qint64> fileSystemType(const QString&) const override {
        return std::nullopt; // every folder is read again for its files
    }

private:
    QString m_folder;
};

QStringList relative(const QStringList& rows, const QString& base) {
    QStringList out;
    for (const QString& row : rows) {
        out.append(row.startsWith(base) ? row.mid(base.size()) : row);
    }
    return out;
}
} // namespace

class FileDropTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void filesComeAsDelivered();
    void folderGivesItsTreeFolderByFolder();
    void foldersAndFilesKeepTheDeliveredOrder();
    void anErrorEndsItsEntryAtLineZero();
    void onlyLocalFilesOfferADrop();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ImageListModel m_model;
    std::unique_ptr<ImageList> m_list;
    ScriptedDialogs m_dialogs;
};

void FileDropTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_model.clear();
    m_list = std::make_unique<ImageList>(m_model);
    m_dialogs.clear();
}

void FileDropTest::filesComeAsDelivered() {
    const QString base = m_dir->path();
    // Files are not looked at: a missing one, a text file, any order.
    dropFiles(*m_list, m_dialogs,
              {base + "/notes.txt", base + "/z.jpg", base + "/a.png", base + "/a.png"});
    QCOMPARE(relative(m_list->texts(), base),
             (QStringList{"/notes.txt", "/z.jpg", "/a.png", "/a.png"}));
    QVERIFY(m_dialogs.satisfied());
}

void FileDropTest::folderGivesItsTreeFolderByFolder() {
    const QString base = m_dir->path();
    touch(base + "/F/a.jpg");
    touch(base + "/F/~b.jpg");
    touch(base + "/F/c.png");
    touch(base + "/F/.hidden-writable");
    touch(base + "/F/.hidden-readonly", QFile::ReadOwner | QFile::ReadGroup);
    touch(base + "/F/sub/d.bmp");
    // Delivered with a closing separator, as some file managers do.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(base + "/F/")});
    dropFiles(*m_list, m_dialogs, droppedPaths(&data));
    QCOMPARE(relative(m_list->texts(), base),
             (QStringList{"/F/.hidden-readonly", "/F/a.jpg", "/F/c.png", "/F/sub/d.bmp"}));
}

void FileDropTest::foldersAndFilesKeepTheDeliveredOrder() {
    const QString base = m_dir->path();
    touch(base + "/A/1.jpg");
    touch(base + "/B/2.jpg");
    touch(base + "/loose.gif");
    dropFiles(*m_list, m_dialogs, {base + "/B", base + "/loose.gif", base + "/A", base + "/B"});
    QCOMPARE(relative(m_list->texts(), base),
             (QStringList{"/B/2.jpg", "/loose.gif", "/A/1.jpg", "/B/2.jpg"}));
}

// The drop numbers no steps: an error names it at line 0, ends the entry it
// hit, and the next entry is added.
void FileDropTest::anErrorEndsItsEntryAtLineZero() {
    const QString base = m_dir->path();
    touch(base + "/F/a.jpg");
    touch(base + "/F/sub/b.jpg");
    touch(base + "/F/sub2/c.jpg");
    touch(base + "/loose.gif");
    const UnreadableFiles fs(base + "/F/sub/");
    m_dialogs.expectMessage();
    dropFiles(*m_list, m_dialogs, {base + "/F", base + "/loose.gif"}, fs);
    QVERIFY(m_dialogs.satisfied());
    QCOMPARE(m_dialogs.messages(),
             QStringList{QStringLiteral("Device I/O error\r\nin Vantrel2021/08/31.Form1."
                                        "ListView1_OLEDragDrop at line 0\r\rPlease email "
                                        "screenshot of this message to support@bramwick.example")});
    QCOMPARE(relative(m_list->texts(), base), (QStringList{"/F/a.jpg", "/loose.gif"}));
}

void FileDropTest::onlyLocalFilesOfferADrop() {
    QTreeView view;
    view.setModel(&m_model);
    QFileDropAdapter target(&view, *m_list, m_dialogs);

    QMimeData text;
    text.setText(QStringLiteral("/etc/hostname"));
    QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &textEnter);
    QVERIFY(!textEnter.isAccepted());

    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.jpg"))});
    QVERIFY(droppedPaths(&web).isEmpty());

    touch(m_dir->path() + "/x.jpg");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(m_dir->path() + "/x.jpg")});
    QDragEnterEvent fileEnter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &fileEnter);
    QVERIFY(fileEnter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &drop);
    QCOMPARE(m_list->texts(), QStringList{m_dir->path() + "/x.jpg"});
}

QTEST_MAIN(FileDropTest)
#include "tst_filedrop.moc"
