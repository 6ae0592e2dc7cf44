// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "imagelist/imagelistcontroller.h"

namespace quorvel {

void Form1::wireImageList() {}

} // namespace quorvel
