// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace quorvel {

class EnlargeController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
};

} // namespace quorvel
