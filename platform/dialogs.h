// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace quorvel {

/// Message-box styles, numbered as the boxes' users know them.
namespace msgstyle {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kExclamation = 48;
} // namespace msgstyle

enum class MsgBoxResult { Ok, Yes, No };

/// Every modal box and dialog the program shows goes through this interface, so
/// tests answer them from a script and nothing in a test waits on a real box.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// A modal message box. `style` is the sum of a buttons value (0 OK, 4 Yes/No)
    /// and an icon value (48 exclamation). Texts keep their CR and CR LF.
    virtual MsgBoxResult messageBox(const QString& text, int style, const QString& title) = 0;

    /// A modal input box; returns the typed text, or an empty text on Cancel.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;

    /// The open-files dialog with multiple selection; the chosen files' full
    /// paths in the dialog's order, or an empty list on Cancel.
    virtual QStringList openFiles(const QString& title, const QString& filter) = 0;

    /// The folder browser with `prompt` shown inside it and `startFolder`
    /// preselected; the chosen folder, or an empty text on Cancel.
    virtual QString browseForFolder(const QString& prompt, const QString& startFolder) = 0;

    /// Opens a page or a folder with the desktop's default handler.
    virtual void openUrl(const QUrl& url) = 0;
};

/// Turns the CR LF and lone CR of a message into line breaks, for display only.
QString displayText(const QString& text);

} // namespace quorvel
