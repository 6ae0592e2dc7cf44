// SPDX-License-Identifier: MIT
#include "samplefiles.h"

#include "folders/filetests.h"
#include "imagelist/imagelist.h"
#include "platform/appinfo.h"
#include "platform/dialogs.h"
#include "platform/errortrap.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QUrl>

namespace quorvel {

QString openSamplesQuestion() {
    return QCoreApplication::translate(
        "SampleFiles",
        "Would you like this software to open the folder where these sample files are stored (so "
        "that you can view them before working with them)?");
}

bool IsPathListed(const ImageList& list, const QString& path) {
    bool listed = false;
    for (const QString& row : list.texts()) {
        listed = listed || row == path;
    }
    return listed;
}

void LoadSampleFiles(ImageList& list, Dialogs& dialogs, const QString& programFolder) {
    const QString sep = separator();
    const QString samples = programFolder + sep + QStringLiteral("Samples");
    const FileNameArray names = ListFolderFiles(samples, QStringLiteral("*.*"));
    for (int i = 1; i <= names.upperBound(); ++i) {
        const QString path = samples + sep + names.at(i);
        if (PathExists(path) && !IsPathListed(list, path)) {
            AddImageRow(list, path);
        }
    }
    if (dialogs.messageBox(openSamplesQuestion(), msgstyle::kYesNo, appinfo::kApplicationTitle) ==
        MsgBoxResult::Yes) {
        dialogs.openUrl(QUrl::fromLocalFile(samples + sep));
    }
}

void loadSampleFiles(ImageList& list, Dialogs& dialogs, const QString& programFolder) {
    ErrorTrap trap(dialogs, formLocation(QStringLiteral("PushButton5_Click")));
    trap.step(100, [&] { LoadSampleFiles(list, dialogs, programFolder); });
}

} // namespace quorvel
