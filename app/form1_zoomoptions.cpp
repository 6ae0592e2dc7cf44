// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "enlarge/widgets/qzoomcontrolsadapter.h"
#include "enlarge/zoomoptions.h"

namespace quorvel {

void Form1::wireZoomOptions() {
    m_zoomChoice =
        new QZoomControlsAdapter({Option1, Option2, Option3, Option4, Text1, Text2}, this);
    m_zoomOptions =
        std::make_unique<ZoomOptions>(*m_zoomChoice, m_services.settings, m_services.dialogs);
    ZoomOptions* options = m_zoomOptions.get();
    connect(m_zoomChoice, &QZoomControlsAdapter::zoomChosen, options, &ZoomOptions::zoomChosen);
    connect(m_zoomChoice, &QZoomControlsAdapter::outputFolderEdited, options,
            &ZoomOptions::outputFolderEdited);
    connect(m_zoomChoice, &QZoomControlsAdapter::customFactorEdited, options,
            &ZoomOptions::customFactorEdited);
    connect(m_zoomChoice, &QZoomControlsAdapter::customFactorLeft, options,
            &ZoomOptions::customFactorLeft);
}

} // namespace quorvel
