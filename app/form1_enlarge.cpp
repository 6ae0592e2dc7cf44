// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "enlarge/enlargecontroller.h"

namespace quorvel {

void Form1::wireEnlarge() {}

} // namespace quorvel
