// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "folders/foldercontroller.h"
#include "platform/errortrap.h"

#include <QLineEdit>
#include <QPushButton>

namespace quorvel {

void Form1::wireFolders() {
    m_folderController = std::make_unique<FolderController>(FolderController::Services{
        m_services.dialogs, m_services.settings, *this, *m_imageList,
        // The box's change handler stores the folder; its failure is the chooser's step.
        [this](const QString& folder) { changeFromCode([&] { Text1->setText(folder); }); },
        nullptr});
    connect(PushButton3, &QPushButton::clicked, m_folderController.get(),
            &FolderController::addFolderTree);
    connect(PushButton6, &QPushButton::clicked, m_folderController.get(),
            &FolderController::showHelp);
    connect(PushButton7, &QPushButton::clicked, m_folderController.get(),
            &FolderController::chooseOutputFolder);
}

} // namespace quorvel
