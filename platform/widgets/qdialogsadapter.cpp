// SPDX-License-Identifier: MIT
#include "qdialogsadapter.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace quorvel {

QString displayText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QDialogsAdapter::QDialogsAdapter(QWidget* owner) : m_owner(owner) {}

MsgBoxResult QDialogsAdapter::messageBox(const QString& text, int style, const QString& title) {
    const bool yesNo = (style & 0xF) == msgstyle::kYesNo;
    QMessageBox box(m_owner);
    box.setWindowTitle(title);
    box.setText(displayText(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon((style & 0x70) == msgstyle::kExclamation ? QMessageBox::Warning
                                                         : QMessageBox::NoIcon);
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int answer = box.exec();
    if (!yesNo) {
        return MsgBoxResult::Ok;
    }
    return answer == QMessageBox::Yes ? MsgBoxResult::Yes : MsgBoxResult::No;
}

QString QDialogsAdapter::inputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(m_owner, title, displayText(prompt),
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QStringList QDialogsAdapter::openFiles(const QString& title, const QString& filter) {
    QStringList files =
        // The filter's visible text is its description alone; the patterns Qt
        // filters by follow it in parentheses of their own.
        QFileDialog::getOpenFileNames(m_owner, title, QString(), filter, nullptr,
                                      QFileDialog::HideNameFilterDetails);
    for (QString& file : files) {
        file = QDir::toNativeSeparators(file);
    }
    return files;
}

QString QDialogsAdapter::browseForFolder(const QString& prompt, const QString& startFolder) {
    QFileDialog dialog(m_owner);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    // The prompt belongs inside the dialog, where the user reads it, not in its caption.
    dialog.setLabelText(QFileDialog::LookIn, prompt);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!startFolder.isEmpty()) {
        // Opened on the start folder's parent with the start folder selected, so
        // confirming at once gives the start folder back.
        const QString start = QDir::cleanPath(QDir::fromNativeSeparators(startFolder));
        const QFileInfo info(start);
        if (info.isDir() && !QDir(start).isRoot()) {
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        } else {
            dialog.setDirectory(start);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return QDir::toNativeSeparators(QDir::cleanPath(dialog.selectedFiles().constFirst()));
}

void QDialogsAdapter::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace quorvel
