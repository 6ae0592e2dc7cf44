// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "enlarge/embeddedconverter.h"
#include "enlarge/enlargecontroller.h"
#include "enlarge/widgets/qprogressbaradapter.h"
#include "enlarge/widgets/qzoomcontrolsadapter.h"

#include <QPushButton>

namespace quorvel {

void Form1::wireEnlarge() {
    auto* bar = new QProgressBarAdapter(ProgressBar1);
    m_enlargeController = std::make_unique<EnlargeController>(
        EnlargeController::Controls{m_zoomChoice, bar},
        EnlargeController::Services{m_services.dialogs, *this, *m_imageList, &embeddedConverter});
    connect(PushButton2, &QPushButton::clicked, m_enlargeController.get(),
            &EnlargeController::startEnlarging);
    connect(this, &Form1::closing, m_enlargeController.get(), &EnlargeController::windowClosing);
}

} // namespace quorvel
