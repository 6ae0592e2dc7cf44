// SPDX-License-Identifier: MIT
#include "platform/apperror.h"
#include "platform/fileattributes.h"
#include "platform/filenameencoding.h"
#include "platform/wildcardlisting.h"
#include "sandbox.h"

#include <QTest>

using namespace quorvel;

class FolderPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void wildcards_data();
    void wildcards();
    void attributes_data();
    void attributes();
    void attributesOfAMissingPathRaise();
    void fileNameDecoding_data();
    void fileNameDecoding();
    void listingFollowsTheMask();
    void listingIsSortedAndToleratesAMissingFolder();
    void plainAndAccentedNamesShareOneOrder();
};

void FolderPlatformTest::wildcards_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("star dot star, name with dot") << "*.*"
                                                  << "a.jpg" << true;
    QTest::newRow("star dot star, name without dot") << "*.*"
                                                     << "README" << true;
    QTest::newRow("case is ignored") << "*.JPG"
                                     << "a.jpg" << true;
    QTest::newRow("extension must be whole") << "*.jpg"
                                             << "a.jpeg" << false;
    QTest::newRow("extension is the end") << "*.jpg"
                                          << "a.jpg.bak" << false;
    QTest::newRow("two dots match nothing ordinary") << "*..jpg"
                                                     << "a.jpg" << false;
    QTest::newRow("two dots, a name with two dots") << "*..jpg"
                                                    << "a..jpg" << true;
    QTest::newRow("question mark is one character") << "?.txt"
                                                    << "ab.txt" << false;
    QTest::newRow("question mark in an extension") << "*.j?g"
                                                   << "p.jpg" << true;
    QTest::newRow("star needs back-tracking") << "*a*b"
                                              << "xaxbxb" << true;
    QTest::newRow("trailing dot star, bare name") << "a.*"
                                                  << "a" << true;
    QTest::newRow("accented letters fold") << "*.É"
                                           << "x.é" << true;
}

void FolderPlatformTest::wildcards() {
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(wildcardMatch(pattern, name), matches);
}

void FolderPlatformTest::attributes_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("bits");
    QTest::newRow("folder") << "dir" << 16;
    QTest::newRow("hidden folder") << ".dir" << 18;
    QTest::newRow("file") << "f.jpg" << 32;
    QTest::newRow("writable dot-file") << ".f.jpg" << 34;
    QTest::newRow("read-only dot-file") << ".ro.jpg" << 35;
    QTest::newRow("read-only file") << "ro.jpg" << 33;
    QTest::newRow("link to a folder") << "dirlink" << 1040;
    QTest::newRow("link to a file") << "filelink" << 1056;
    QTest::newRow("folder named with a trailing separator") << "dir/" << 16;
}

void FolderPlatformTest::attributes() {
    QFETCH(QString, entry);
    QFETCH(int, bits);
    Sandbox box({"dir/", ".dir/", "f.jpg", ".f.jpg", ".ro.jpg", "ro.jpg"});
    box.makeReadOnly(".ro.jpg");
    box.makeReadOnly("ro.jpg");
    box.link("dirlink", "dir");
    box.link("filelink", "f.jpg");
    QCOMPARE(fileAttributes(box.path(entry)), bits);
}

void FolderPlatformTest::attributesOfAMissingPathRaise() {
    Sandbox box;
    try {
        fileAttributes(box.path("missing"));
        QFAIL("no error for a missing path");
    } catch (const AppError& e) {
        QCOMPARE(e.number(), errnum::kFileNotFound);
    }
}

void FolderPlatformTest::fileNameDecoding_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("undecoded");
    QTest::newRow("ASCII") << QByteArray("a.jpg") << false;
    QTest::newRow("CJK") << QByteArray("\xE6\x97\xA5\xE6\x9C\xAC") << false;
    QTest::newRow("four-byte character") << QByteArray("\xF0\x9F\x98\x80") << false;
    QTest::newRow("a replacement character that is really there")
        << QByteArray("caf\xEF\xBF\xBD") << false;
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xE9") << true;
    QTest::newRow("overlong slash") << QByteArray("a\xC0\xAF") << true;
    QTest::newRow("cut-off sequence") << QByteArray("\xE6\x97") << true;
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << true;
}

void FolderPlatformTest::fileNameDecoding() {
    QFETCH(QByteArray, raw);
    QFETCH(bool, undecoded);
    const QString name = decodeFileName(raw);
    QCOMPARE(holdsUndecodedBytes(name), undecoded);
    if (undecoded) {
        // Two names that differ in an undecodable byte stay two names.
        QByteArray other = raw;
        other[other.size() - 1] = char(other.at(other.size() - 1) ^ 1);
        QVERIFY(decodeFileName(other) != name);
    } else {
        QCOMPARE(QFile::encodeName(name), raw);
    }
}

void FolderPlatformTest::listingFollowsTheMask() {
    Sandbox box({"a.jpg", ".hidden.jpg", "sub.jpg/", ".hid.jpg/", "b.png"});
    box.link("link.jpg", "a.jpg");
    box.link("dirlink.jpg", "sub.jpg");
    const int kFiles = attr::kHidden | attr::kSystem;
    QCOMPARE(listDirectory(box.path(), "*.jpg", kFiles),
             (QStringList{".hidden.jpg", "a.jpg", "link.jpg"}));
    QCOMPARE(listDirectory(box.path(), "*.jpg", 0), (QStringList{"a.jpg", "link.jpg"}));
    QCOMPARE(
        listDirectory(box.folder(), "*.jpg", kFiles | attr::kDirectory),
        (QStringList{".hid.jpg", ".hidden.jpg", "a.jpg", "dirlink.jpg", "link.jpg", "sub.jpg"}));
}

void FolderPlatformTest::listingIsSortedAndToleratesAMissingFolder() {
    Sandbox box({"b.jpg", "B.jpg", "a.jpg", "C.jpg", "10.jpg", "9.jpg"});
    QCOMPARE(listDirectory(box.path(), "*.*", 6),
             (QStringList{"10.jpg", "9.jpg", "a.jpg", "B.jpg", "b.jpg", "C.jpg"}));
    QCOMPARE(listDirectory(box.path("missing"), "*.*", 6), QStringList());
}

// Plain names fold by themselves, accented ones through a folded copy; both
// must sort and match as one folded text would ("[" and "_" lie between the
// capitals and the small letters).
void FolderPlatformTest::plainAndAccentedNamesShareOneOrder() {
    const QString acuteCapital = QString::fromUtf8("\u00C9.jpg");
    const QString acuteSmall = QString::fromUtf8("\u00E9.jpg");
    Sandbox box(
        {"_.jpg", "Zz.jpg", "a.jpg", acuteCapital, acuteSmall, "Eb.jpg", "e.JPG", "[x.jpg"});
    const QStringList sorted{"[x.jpg", "_.jpg",  "a.jpg",      "e.JPG",
                             "Eb.jpg", "Zz.jpg", acuteCapital, acuteSmall};
    QCOMPARE(listDirectory(box.path(), "*.JPG", 6), sorted);
    QCOMPARE(listDirectory(box.path(), "E*", 6), (QStringList{"e.JPG", "Eb.jpg"}));
    QCOMPARE(listDirectory(box.path(), QString::fromUtf8("\u00E9*"), 6),
             (QStringList{acuteCapital, acuteSmall}));
    QCOMPARE(listDirectory(box.path(), "?Z.*", 6), QStringList{"Zz.jpg"});
}

QTEST_GUILESS_MAIN(FolderPlatformTest)
#include "tst_folderplatform.moc"
