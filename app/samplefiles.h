// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel {

class Dialogs;
class ImageList;

inline const QString kOpenSamplesQuestion = QStringLiteral(
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?");

/// True when some row's text equals `path` exactly (case-sensitive).
bool IsPathListed(const ImageList& list, const QString& path);

/// Adds every sample beside the program that is not listed yet, then offers to
/// open the samples folder. Raises AppError where a step fails.
void LoadSampleFiles(ImageList& list, Dialogs& dialogs, const QString& programFolder);

/// The click of "Load Sample/Example Files": LoadSampleFiles under the error box.
void loadSampleFiles(ImageList& list, Dialogs& dialogs, const QString& programFolder);

} // namespace quorvel
