// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel {

class Dialogs;

/// Shows the folder browser with `prompt` inside it and
/// `startFolder` selected. Returns the chosen folder without a trailing
/// separator (a root keeps its own: "/" or "C:\"), or an empty text on Cancel.
QString BrowseForFolder(Dialogs& dialogs, const QString& prompt, const QString& startFolder);

/// The start folder of the latest call, kept until the next one.
QString BrowseStartFolder();

} // namespace quorvel
