// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "imagelist/imagelist.h"
#include "imagelist/imagelistcontroller.h"
#include "imagelist/widgets/qimagelistviewadapter.h"

#include <QPushButton>

namespace quorvel {

void Form1::wireImageList() {
    m_imageListController = std::make_unique<ImageListController>(
        *m_imageList, *this, m_services.dialogs, m_services.programFolder);
    ImageListController* controller = m_imageListController.get();
    m_listView->forwardGesturesTo(controller);
    connect(PushButton1, &QPushButton::clicked, controller,
            &ImageListController::addFilesFromDialog);
    connect(PushButton4, &QPushButton::clicked, controller, &ImageListController::clearList);
}

} // namespace quorvel
