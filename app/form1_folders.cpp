// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "folders/foldercontroller.h"

namespace quorvel {

void Form1::wireFolders() {}

} // namespace quorvel
