// SPDX-License-Identifier: MIT
#include "openfilesadd.h"

#include "imagelist.h"
#include "normalisepath.h"
#include "platform/appinfo.h"
#include "platform/dialogs.h"
#include "platform/errortrap.h"

#include <QCoreApplication>
#include <QList>

namespace quorvel {

namespace {

struct PickedFile {
    QString folder;
    QString name;
};

bool isRootFolderText(const QString& folder) {
    // "" is the POSIX root ("/a.jpg"), "C:" a drive's root ("C:\a.jpg").
    return folder.isEmpty() || (folder.size() == 2 && folder.at(1) == QLatin1Char(':'));
}

PickedFile splitPicked(const QString& path, QChar separator) {
    const qsizetype last = path.lastIndexOf(separator);
    if (last < 0) {
        return {QString(), path};
    }
    return {folderOfPath(path, separator), path.mid(last + 1)};
}

} // namespace

namespace openfiles {
QString title() {
    return QCoreApplication::translate("OpenFiles",
                                       "Add File(s) - Hold Ctrl or Shift to select multiple files");
}

QString filterDescription() {
    return QCoreApplication::translate("OpenFiles", "All Pictures (%1)")
        .arg(QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.webp;*.tif;*.tiff;*.avif"));
}

QString filter() {
    return filterDescription() +
           QStringLiteral(" (*.bmp *.jpg *.jpeg *.gif *.png *.webp *.tif *.tiff *.avif)");
}

QString tooManyFilesMessage() {
    return QCoreApplication::translate("OpenFiles",
                                       "You've selected too many files to add.\r\r"
                                       "Please try adding via the \"Add All\" button.");
}
} // namespace openfiles

QString folderOfPath(const QString& path, QChar separator) {
    const qsizetype last = path.lastIndexOf(separator);
    if (last < 0) {
        return QString();
    }
    const QString folder = path.left(last);
    return isRootFolderText(folder) ? folder + separator : folder;
}

qsizetype openDialogTextLength(const QStringList& files, QChar separator) {
    if (files.isEmpty()) {
        return 0;
    }
    if (files.size() == 1) {
        return files.constFirst().size() + 1;
    }
    const QString folder = folderOfPath(files.constFirst(), separator);
    qsizetype length = folder.size() + 1;
    for (const QString& file : files) {
        const PickedFile picked = splitPicked(file, separator);
        length += (picked.folder == folder ? picked.name.size() : file.size()) + 1;
    }
    return length + 1;
}

void addFilesFromOpenDialog(ImageList& list, Dialogs& dialogs, QChar separator) {
    ErrorTrap trap(dialogs, formLocation(QStringLiteral("PushButton1_Click")));
    // A selection too long for the dialog's text ends the handler with its own message.
    trap.setInterceptor([&dialogs](const AppError& error) {
        if (error.number() != errnum::kCommonDialogBufferTooSmall) {
            return false;
        }
        dialogs.messageBox(openfiles::tooManyFilesMessage(), msgstyle::kOkOnly,
                           appinfo::kApplicationTitle);
        return true;
    });

    // The dialog's options are those of Dialogs::openFiles (multiple selection),
    // so there is no separate flags step. A typed name that does not exist is
    // refused by the dialog itself ("File not found") and never comes back, so
    // no row names a missing file.
    QStringList picked;
    QString title;
    QString filter;
    trap.step(104, [&] { picked.clear(); });
    trap.step(108, [&] { title = openfiles::title(); });
    trap.step(110, [&] { filter = openfiles::filter(); });
    trap.step(112, [&] {
        picked = dialogs.openFiles(title, filter);
        if (openDialogTextLength(picked, separator) > openfiles::kMaxFileText) {
            throw AppError::fromNumber(errnum::kCommonDialogBufferTooSmall);
        }
    });
    if (trap.ended() || trap.test(114, [&] { return picked.isEmpty(); })) {
        return;
    }

    QList<PickedFile> parts;
    trap.step(116, [&] {
        for (const QString& file : picked) {
            parts.append(splitPicked(file, separator));
        }
    });
    if (trap.test(118, [&] { return picked.size() == 1; })) {
        QString path;
        trap.step(120, [&] { path = picked.constFirst(); });
        trap.step(122, [&] { AddImageRow(list, path); });
        return;
    }
    if (trap.test(124, [&] { return parts.isEmpty(); })) {
        return;
    }
    // The dialog's order is the order of the rows.
    for (const PickedFile& part : std::as_const(parts)) {
        QString path;
        // A bare name has no folder to join; the dialog gives full paths, so this is rare.
        trap.step(136, [&] {
            path = part.folder.isEmpty() ? part.name : part.folder + separator + part.name;
        });
        trap.step(138, [&] { path = NormalisePath(path, separator); });
        trap.step(140, [&] { AddImageRow(list, path); });
    }
}

} // namespace quorvel
