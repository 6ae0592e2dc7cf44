// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>
#include <optional>

class QIODevice;

namespace quorvel {

/// The pixel size an AVIF file declares for its primary picture: the image
/// spatial extent ('ispe') its item properties associate with the primary
/// item. Reads box headers and a few small boxes only, never the picture data.
/// Empty when `device` (random access) holds no AVIF header that can be read.
std::optional<QSize> avifPictureSize(QIODevice& device);

} // namespace quorvel
