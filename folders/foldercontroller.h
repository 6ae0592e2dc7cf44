// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace quorvel {

class FolderController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
};

} // namespace quorvel
