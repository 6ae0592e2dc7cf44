// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

namespace quorvel {

/// The converter program carried inside this executable, byte for byte; empty
/// when the executable was linked without it.
QByteArray embeddedConverter();

} // namespace quorvel
