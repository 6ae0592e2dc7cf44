// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace quorvel::appinfo {

// The product's own names and the vendor's addresses live here and nowhere else.
inline const QString kProductName = QStringLiteral("Quorvel");
// The product name has no blank to cut a last word from, so the title is the name itself.
inline const QString kApplicationTitle = QStringLiteral("Quorvel");
inline const QString kVendorName = QStringLiteral("Bramwick");
inline const QString kVendorHomePage = QStringLiteral("https://bramwick.example/");
inline const QString kVendorContactPage = QStringLiteral("https://bramwick.example/contact");
inline const QString kSupportAddress = QStringLiteral("support@bramwick.example");

} // namespace quorvel::appinfo
