// SPDX-License-Identifier: MIT
#pragma once

#include "platform/dialogs.h"

#include <QPointer>
#include <QWidget>

namespace quorvel {

/// The Dialogs of a real session, shown as Qt's message, input, file and folder dialogs.
class QDialogsAdapter : public Dialogs {
public:
    explicit QDialogsAdapter(QWidget* owner = nullptr);
    /// The window every box and dialog belongs to.
    void setOwner(QWidget* owner) { m_owner = owner; }

    MsgBoxResult messageBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QStringList openFiles(const QString& title, const QString& filter) override;
    QString browseForFolder(const QString& prompt, const QString& startFolder) override;
    void openUrl(const QUrl& url) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace quorvel
