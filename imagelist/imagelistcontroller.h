// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace quorvel {

class ImageListController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
};

} // namespace quorvel
