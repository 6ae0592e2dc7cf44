// SPDX-License-Identifier: MIT
#pragma once

namespace quorvel {

/// Lets the window handle its pending events in the middle of long work.
void yieldToEventLoop();

} // namespace quorvel
