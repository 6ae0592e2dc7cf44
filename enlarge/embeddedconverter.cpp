// SPDX-License-Identifier: MIT
#include "embeddedconverter.h"

#include <QFile>

namespace quorvel {

QByteArray embeddedConverter() {
    QFile file(QStringLiteral(":/quorvel/converter/nconvert"));
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

} // namespace quorvel
