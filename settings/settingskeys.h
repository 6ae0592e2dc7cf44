// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel::settings {

// Every key the program stores, with its default, in one place.
inline const QString kAppName = QStringLiteral("Bramwick");
inline const QString kSection = QStringLiteral("Quorvel");

inline const QString kOption1 = QStringLiteral("Option1");
inline const QString kOption2 = QStringLiteral("Option2");
inline const QString kOption3 = QStringLiteral("Option3");
inline const QString kOption4 = QStringLiteral("Option4");
inline const QString kText1 = QStringLiteral("Text1");
inline const QString kText2 = QStringLiteral("Text2");
inline const QString kExtension = QStringLiteral("Extension");
inline const QString kLastFolder = QStringLiteral("LastFolder");
inline const QString kLastFolderDot = QStringLiteral("LastFolderDot");

inline const QString kOption1Default = QStringLiteral("1");
inline const QString kOptionOtherDefault = QStringLiteral("0");
inline const QString kText2Default = QStringLiteral("8");
inline const QString kExtensionDefault = QStringLiteral("jpg");
inline const QString kLastFolderDefault = QString();
inline const QString kLastFolderDotDefault = QString();

inline const QString kTrue = QStringLiteral("True");
inline const QString kFalse = QStringLiteral("False");

} // namespace quorvel::settings
