// SPDX-License-Identifier: MIT
#include "yield.h"

#include <QCoreApplication>

namespace quorvel {

void yieldToEventLoop() {
    QCoreApplication::processEvents();
}

} // namespace quorvel
