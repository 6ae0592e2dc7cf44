// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace quorvel {

class Dialogs;
class ImageList;

namespace openfiles {

inline const QString kTitle =
    QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files");

/// The text the user reads in the dialog's file-type box.
inline const QString kFilterDescription =
    QStringLiteral("All Pictures (*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.webp;*.tif;*.tiff;*.avif)");

/// The filter handed to the dialog. Qt takes the patterns from the last
/// parentheses and splits them at blanks only, so the description's own
/// ";"-separated list would be one pattern that matches nothing; the blank-
/// separated list after it is what Qt filters by, and a dialog that hides the
/// filter details shows exactly the description.
inline const QString kFilter =
    kFilterDescription +
    QStringLiteral(" (*.bmp *.jpg *.jpeg *.gif *.png *.webp *.tif *.tiff *.avif)");

/// The most characters the dialog's returned text may take, closing NULs included.
inline constexpr int kMaxFileText = 30000;

inline const QString kTooManyFilesMessage =
    QStringLiteral("You've selected too many files to add.") + QStringLiteral("\r\r") +
    QStringLiteral("Please try adding via the \"Add All\" button.");

} // namespace openfiles

/// The folder part of a full path; a root folder keeps its separator ("/", "C:\").
/// Empty for a bare name.
QString folderOfPath(const QString& path, QChar separator);

/// The length `files` would take in the classic dialog's returned text: one file
/// is its path and a NUL; several are the folder, a NUL, each name and a NUL,
/// and a closing NUL. A file outside the first one's folder counts with its full path.
qsizetype openDialogTextLength(const QStringList& files, QChar separator);

/// "Add Image File(s)": shows the open dialog and appends every picked file as
/// one row. One file is added exactly as returned; several are each joined from
/// folder, separator and name and cleaned with `NormalisePath`, in the dialog's
/// order. A selection too long for the dialog's text adds nothing and says so.
void addFilesFromOpenDialog(ImageList& list, Dialogs& dialogs, QChar separator);

} // namespace quorvel
