// SPDX-License-Identifier: MIT
#include "foldercontroller.h"

#include "browseforfolder.h"
#include "filetests.h"
#include "folderfilesystem.h"
#include "getsubdirectories.h"
#include "imagelist/imagelist.h"
#include "imagelist/normalisepath.h"
#include "platform/appinfo.h"
#include "platform/dialogs.h"
#include "platform/errortrap.h"
#include "platform/fileattributes.h"
#include "platform/paths.h"
#include "platform/windowpointer.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QStringBuilder>
#include <QStringList>

namespace quorvel {

namespace {
// A hidden file that is archive and nothing else: the desktop's own
// bookkeeping files look like this, so they are left out.
constexpr int kHiddenArchive = attr::kHidden | attr::kArchive;

struct FileStep {
    const QString& folder;
    const QString& separator;
    const QString& name;
    QString path;
};

} // namespace

FolderController::FolderController(Services services, QObject* parent)
    : QObject(parent), m_services(services) {}

QString selectFolderPrompt() {
    return FolderController::tr("Please select folder:");
}

QString FolderController::extensionPrompt() {
    return tr("Enter file extension to load:\r\r"
              "(* for all files, txt for all txt files, doc for all doc files, etc.)");
}

QString FolderController::supportedFormatsNotice() {
    return tr("This software currently supports the following image formats: jpg, bmp, gif, "
              "png, webp, tif, avif.\r\n\r\n"
              "If you need more formats added, please contact Team Bramwick at %1")
        .arg(appinfo::kVendorContactPage);
}

void FolderController::addFolderTree() {
    Dialogs& dialogs = m_services.dialogs;
    SettingsStore& settings = m_services.settings;
    const FolderFileSystem& fs =
        m_services.fileSystem ? *m_services.fileSystem : FolderFileSystem::real();
    const QString sep = separator();
    ErrorTrap trap(dialogs, formLocation(QStringLiteral("PushButton3_Click")));

    QString extension;
    trap.step(100, [&] {
        extension =
            dialogs.inputBox(extensionPrompt(), appinfo::kApplicationTitle,
                             settings.get(settings::kExtension, settings::kExtensionDefault));
    });
    // Saved before the folder is chosen, so a cancelled browser keeps it.
    trap.step(100, [&] {
        if (!extension.isEmpty()) {
            settings.save(settings::kExtension, extension);
        }
    });
    if (trap.test(102, [&] { return extension.isEmpty(); })) {
        return;
    }

    QString chosen;
    trap.step(104, [&] {
        m_lastFolder = settings.get(settings::kLastFolder, settings::kLastFolderDefault);
        chosen = BrowseForFolder(dialogs, selectFolderPrompt(), m_lastFolder);
    });
    if (trap.test(106, [&] { return chosen.isEmpty(); })) {
        return;
    }
    trap.step(333, [&] { m_lastFolder = chosen; });
    trap.step(334, [&] { settings.save(settings::kLastFolder, m_lastFolder); });

    trap.step(112, [&] { m_services.pointer.setMousePointer(pointer::kHourglass); });
    QStringList folders;
    // The scan reads each folder whole; its files are listed from that reading where the
    // folder is provably unchanged since, and from a fresh one otherwise.
    FolderReadings readings;
    trap.step(114, [&] { folders.append(chosen + sep); });
    trap.step(116, [&] { GetSubDirectories2016(folders, true, dialogs, fs, &readings); });

    trap.step(118, [&] {
        // The scan is finished: the list no longer changes under the loop.
        for (const QString& entry : std::as_const(folders)) {
            QString folder = entry;
            trap.step(120, [&] { folder.chop(1); });
            FileNameArray names;
            trap.step(122, [&] {
                names = ListFolderFiles(folder, QStringLiteral("*.") + extension, fs, &readings);
            });
            // One insertion per folder: the view lays itself out once per
            // folder rather than once per file.
            const ImageListModel::AppendBatch batch(m_services.imageList.model());
            for (int i = 1; i <= names.upperBound(); ++i) {
                // One capture per step keeps the steps off the heap; a large
                // tree runs them a hundred thousand times.
                FileStep f{folder, sep, names.at(i), {}};
                if (trap.test(126, [&f] { return f.name.startsWith(QLatin1Char('~')); })) {
                    continue;
                }
                trap.step(128, [&f] { f.path = f.folder % f.separator % f.name; });
                // ListFolderFiles admits only files that exist and open as the folder
                // is now: from a reading made afresh, or from the scan's where the folder
                // is provably unchanged since, every link looked at again. So the
                // existence test is not made a second time (a system call per file would
                // double the click on a large tree). Only a hidden name can read 34.
                if (trap.test(132, [&f] {
                        return !mayBeHidden(f.name) || fileAttributes(f.path) != kHiddenArchive;
                    })) {
                    trap.step(132, [this, &f] {
                        AddImageRow(m_services.imageList, NormalisePath(f.path));
                    });
                }
            }
        }
    });

    trap.step(136, [&] { m_services.pointer.setMousePointer(pointer::kDefault); });
}

void FolderController::showHelp() {
    ErrorTrap trap(m_services.dialogs, formLocation(QStringLiteral("PushButton6_Click")));
    trap.step(100, [&] {
        m_services.dialogs.messageBox(supportedFormatsNotice(), msgstyle::kOkOnly,
                                      appinfo::kApplicationTitle);
    });
}

void FolderController::chooseOutputFolder() {
    ErrorTrap trap(m_services.dialogs, formLocation(QStringLiteral("PushButton7_Click")));
    const QString sep = separator();

    QString chosen;
    trap.step(100, [&] {
        m_lastFolderDot =
            m_services.settings.get(settings::kLastFolderDot, settings::kLastFolderDotDefault);
        chosen = BrowseForFolder(m_services.dialogs, selectFolderPrompt(), m_lastFolderDot);
    });
    if (trap.test(102, [&] { return chosen.isEmpty(); })) {
        return;
    }
    // Remembered as the browser gave it; only the output box gets the separator.
    trap.step(104, [&] {
        m_lastFolderDot = chosen;
        m_services.settings.save(settings::kLastFolderDot, m_lastFolderDot);
    });
    if (trap.test(104, [&] { return !chosen.endsWith(sep); })) {
        trap.step(106, [&] { m_services.showOutputFolder(chosen + sep); });
    } else {
        trap.step(108, [&] { m_services.showOutputFolder(chosen); });
    }
}

} // namespace quorvel
