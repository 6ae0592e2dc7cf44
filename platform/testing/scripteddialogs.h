// SPDX-License-Identifier: MIT
#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace quorvel {

/// Dialogs for tests: every box must be announced with an expect call, in order,
/// together with the answer to give. A box that was not expected fails the running
/// test at once and is answered with OK / Cancel.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, Input, OpenFiles, Folder, Url };

    /// What the program showed, in order.
    struct Shown {
        Kind kind;
        QString text; // message text, input prompt, dialog title or folder prompt, URL
        int style = 0;
        QString title;
        QString preset; // input default, file filter or start folder
    };

    ScriptedDialogs& expectMessage(MsgBoxResult answer = MsgBoxResult::Ok);
    ScriptedDialogs& expectInput(const QString& answer);
    ScriptedDialogs& expectOpenFiles(const QStringList& answer);
    ScriptedDialogs& expectFolder(const QString& answer);
    ScriptedDialogs& expectUrl();

    MsgBoxResult messageBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QStringList openFiles(const QString& title, const QString& filter) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    void openUrl(const QUrl& url) override;

    const QList<Shown>& shown() const { return m_shown; }
    /// The texts of the message boxes shown so far.
    QStringList messages() const;
    /// True when every expected box was shown and no unexpected one.
    bool satisfied() const { return m_expected.isEmpty() && m_unexpected == 0; }
    int pending() const { return int(m_expected.size()); }
    void clear();

private:
    struct Expected {
        Kind kind;
        MsgBoxResult message = MsgBoxResult::Ok;
        QString text;
        QStringList files;
    };
    bool take(Kind kind, const Shown& shown, Expected* out);

    QList<Expected> m_expected;
    QList<Shown> m_shown;
    int m_unexpected = 0;
};

} // namespace quorvel
