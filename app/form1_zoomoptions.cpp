// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "enlarge/zoomoptions.h"

namespace quorvel {

void Form1::wireZoomOptions() {
    m_zoomOptions = std::make_unique<ZoomOptions>(
        ZoomOptions::Controls{Option1, Option2, Option3, Option4, Text1, Text2},
        m_services.settings, m_services.dialogs);
}

} // namespace quorvel
