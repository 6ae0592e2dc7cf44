// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace quorvel {

class Dialogs;
class FolderFileSystem;
class ImageList;
class SettingsStore;
class WindowPointer;

/// The prompt both folder choices show inside the folder browser.
QString selectFolderPrompt();

/// The window's folder buttons: "Add All File(s) In Folder" (PushButton3),
/// "Help" (PushButton6) and the output folder's "..." (PushButton7).
class FolderController : public QObject {
    Q_OBJECT
public:
    struct Services {
        Dialogs& dialogs;
        SettingsStore& settings;
        WindowPointer& pointer;
        ImageList& imageList;
        /// Puts the chosen output folder into the window's box. Raises what the
        /// box's change handler met, for the chooser's own step to report.
        std::function<void(const QString&)> showOutputFolder;
        /// The scan's file system; null means the real one.
        const FolderFileSystem* fileSystem = nullptr;
    };

    explicit FolderController(Services services, QObject* parent = nullptr);

    /// The text of the extension input box.
    static QString extensionPrompt();
    /// The text of the "Help" box.
    static QString supportedFormatsNotice();

public slots:
    /// Asks for an extension and a folder, then adds every matching file of
    /// the folder and all its subfolders to the image list.
    void addFolderTree();
    /// Shows the supported formats and where to ask for more.
    void showHelp();
    /// Lets the user choose the output folder and puts it into the output box.
    void chooseOutputFolder();

private:
    Services m_services;
    QString m_lastFolder;
    QString m_lastFolderDot;
};

} // namespace quorvel
