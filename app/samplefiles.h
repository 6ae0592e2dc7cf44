// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel {

class Dialogs;
class ImageList;

/// The offer to open the samples folder, in the user's language.
QString openSamplesQuestion();

/// True when some row's text equals `path` exactly (case-sensitive).
bool IsPathListed(const ImageList& list, const QString& path);

/// Adds every sample beside the program that is not listed yet, then offers to
/// open the samples folder. Raises AppError where a step fails.
void LoadSampleFiles(ImageList& list, Dialogs& dialogs, const QString& programFolder);

/// The click of "Load Sample/Example Files": LoadSampleFiles under the error box.
void loadSampleFiles(ImageList& list, Dialogs& dialogs, const QString& programFolder);

} // namespace quorvel
