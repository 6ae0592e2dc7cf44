// SPDX-License-Identifier: MIT
#include "cursorfile.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace quorvel {

QCursor loadCursorFile(const QString& path, bool* ok) {
    if (ok) {
        *ok = false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QCursor(Qt::ArrowCursor);
    }
    const QByteArray bytes = file.read(64 * 1024 * 1024);
    // ICONDIR: reserved 0, type 1 (icon) or 2 (cursor), count; then 16-byte entries.
    if (bytes.size() < 22 || qFromLittleEndian<quint16>(bytes.constData()) != 0) {
        return QCursor(Qt::ArrowCursor);
    }
    const quint16 type = qFromLittleEndian<quint16>(bytes.constData() + 2);
    QImage image;
    // Qt's reader only knows the icon form; a cursor differs in its type and hot spot.
    QByteArray asIcon = bytes;
    asIcon[2] = 1;
    asIcon[3] = 0;
    if (!image.loadFromData(asIcon, "ICO") || image.isNull()) {
        return QCursor(Qt::ArrowCursor);
    }
    int hotX = image.width() / 2;
    int hotY = image.height() / 2;
    if (type == 2) {
        hotX = qFromLittleEndian<quint16>(bytes.constData() + 6 + 4);
        hotY = qFromLittleEndian<quint16>(bytes.constData() + 6 + 6);
    }
    if (ok) {
        *ok = true;
    }
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

} // namespace quorvel
