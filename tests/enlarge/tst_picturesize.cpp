// SPDX-License-Identifier: MIT
#include "enlarge/avifheader.h"
#include "enlarge/enlargecontroller.h"
#include "platform/apperror.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvel;

namespace {

QByteArray bigEndian(quint64 value, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) {
        out.append(char(value >> (8 * i) & 0xff));
    }
    return out;
}

QByteArray box(const char* type, const QByteArray& body) {
    return bigEndian(8 + body.size(), 4) + type + body;
}

QByteArray fullBox(const char* type, int version, int flags, const QByteArray& body) {
    return box(type, bigEndian(version, 1) + bigEndian(flags, 3) + body);
}

QByteArray extent(quint32 width, quint32 height) {
    return fullBox("ispe", 0, 0, bigEndian(width, 4) + bigEndian(height, 4));
}

const QByteArray kAvifBrands = box("ftyp", QByteArray("avif") + bigEndian(0, 4) + "avifmif1miaf");
const QByteArray kPrimaryIsItem1 = fullBox("pitm", 0, 0, bigEndian(1, 2));

/// Item associations of a version 0 'ipma' with narrow indices: item, then its indices.
QByteArray associations(const QList<QList<int>>& items) {
    QByteArray body = bigEndian(items.size(), 4);
    for (const QList<int>& item : items) {
        body += bigEndian(item.first(), 2) + bigEndian(item.size() - 1, 1);
        for (qsizetype i = 1; i < item.size(); ++i) {
            body += bigEndian(item.at(i), 1);
        }
    }
    return fullBox("ipma", 0, 0, body);
}

QByteArray meta(const QByteArray& pitm, const QByteArray& ipco, const QByteArray& ipma) {
    const QByteArray hdlr = fullBox("hdlr", 0, 0, bigEndian(0, 4) + "pict" + QByteArray(13, '\0'));
    return fullBox("meta", 0, 0, hdlr + pitm + box("iprp", box("ipco", ipco) + ipma));
}

/// The header of a one-item AVIF as an encoder lays it out, its coded data after it.
QByteArray avif(const QByteArray& ipco, const QByteArray& ipma,
                const QByteArray& pitm = kPrimaryIsItem1) {
    return kAvifBrands + meta(pitm, ipco, ipma) + box("mdat", QByteArray(24, 'x'));
}

std::optional<QSize> measure(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return avifPictureSize(buffer);
}

} // namespace

class PictureSizeTest : public QObject {
    Q_OBJECT
private slots:
    void avifHeader_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size"); // invalid: nothing may be read

        const QByteArray single = avif(extent(37, 21), associations({{1, 1}}));
        QTest::newRow("one picture") << single << QSize(37, 21);
        // A thumbnail's extent comes first; the essential bit is not part of an index.
        QTest::newRow("primary after a thumbnail")
            << avif(box("pixi", QByteArray(4, '\0')) + extent(160, 120) + extent(8000, 6000),
                    associations({{2, 2}, {1, 1, 0x80 | 3}}))
            << QSize(8000, 6000);
        QTest::newRow("32-bit items, 15-bit indices")
            << avif(extent(9000, 40),
                    fullBox("ipma", 1, 1,
                            bigEndian(1, 4) + bigEndian(1, 4) + bigEndian(1, 1) +
                                bigEndian(0x8001, 2)),
                    fullBox("pitm", 1, 0, bigEndian(1, 4)))
            << QSize(9000, 40);
        const QByteArray metaBox = meta(kPrimaryIsItem1, extent(640, 480), associations({{1, 1}}));
        QTest::newRow("64-bit size, after the data")
            << kAvifBrands + box("mdat", "xx") + bigEndian(1, 4) + "meta" +
                   bigEndian(metaBox.size() + 8, 8) + metaBox.mid(8)
            << QSize(640, 480);

        QTest::newRow("another brand")
            << box("ftyp", QByteArray("heic") + bigEndian(0, 4) + "mif1heic") +
                   single.mid(kAvifBrands.size())
            << QSize();
        QTest::newRow("no primary item")
            << avif(extent(37, 21), associations({{1, 1}}), QByteArray()) << QSize();
        QTest::newRow("primary without an extent")
            << avif(extent(37, 21), associations({{2, 1}})) << QSize();
        QTest::newRow("index past the properties")
            << avif(extent(37, 21), associations({{1, 2}})) << QSize();
        QTest::newRow("zero width") << avif(extent(0, 21), associations({{1, 1}})) << QSize();
        QTest::newRow("width beyond any int")
            << avif(extent(0x80000000u, 21), associations({{1, 1}})) << QSize();
        QByteArray overrun = single;
        const qsizetype ipco = overrun.indexOf("ipco") - 4;
        overrun.replace(ipco, 4, bigEndian(0x7fffffff, 4));
        QTest::newRow("box past its parent") << overrun << QSize();
        QTest::newRow("empty") << QByteArray() << QSize();
    }

    void avifHeader() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QCOMPARE(measure(bytes).value_or(QSize()), size);
    }

    // Wherever a file is cut before its header is complete, nothing is read from it.
    void avifCutShortIsUnreadable() {
        const QByteArray bytes = avif(extent(37, 21), associations({{1, 1}}));
        for (qsizetype length = 0; length < bytes.indexOf("mdat") - 4; ++length) {
            QVERIFY2(!measure(bytes.left(length)), qPrintable(QString::number(length)));
        }
    }

    // Qt has no AVIF reader, so the run's measure must fall back to the header.
    void runMeasuresAvifFromItsHeader() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("photo.avif"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(avif(extent(7501, 2), associations({{1, 1}})));
        file.close();
        QCOMPARE(pictureSize(path), QSize(7501, 2));

        QVERIFY(file.resize(40));
        QVERIFY_THROWS_EXCEPTION(AppError, pictureSize(path));
    }
};

QTEST_GUILESS_MAIN(PictureSizeTest)
#include "tst_picturesize.moc"
