// SPDX-License-Identifier: MIT
#include "bmp_rows.h"

#include "bmp_reader.h"
#include "error.h"
#include "size_limits.h"

namespace nconvert {
namespace {

class BmpSource : public RowSource {
public:
    BmpSource(const unsigned char* data, std::size_t size, BmpLayout layout)
        : m_layout(std::move(layout)), m_decoder(data, size, m_layout) {
        m_shape.width = m_layout.width;
        m_shape.height = m_layout.height;
        m_shape.bands = m_layout.alpha ? 4 : 3;
        m_shape.alpha = m_layout.alpha;
        m_metadata.pixelsPerMetre[0] = m_layout.xPixelsPerMetre;
        m_metadata.pixelsPerMetre[1] = m_layout.yPixelsPerMetre;
    }
    const PictureShape& shape() const override { return m_shape; }
    const PictureMetadata& metadata() const override { return m_metadata; }
    void readRow(void* row) override {
        m_decoder.decodeRow(m_y++, 0, m_shape.width, static_cast<unsigned char*>(row));
    }

private:
    BmpLayout m_layout;
    BmpRowDecoder m_decoder;
    PictureShape m_shape;
    PictureMetadata m_metadata;
    int m_y = 0;
};

} // namespace

std::unique_ptr<RowSource> bmpRowSource(const unsigned char* data, std::size_t size,
                                        const ConvertSettings& settings) {
    BmpLayout layout = readBmpLayout(data, size, settings.inputName);
    checkInputPixels(layout.width, layout.height, settings);
    if (layout.truncated)
        throw Error(Status::BadInput, settings.inputName, "truncated BMP: pixel data ends early");
    return std::make_unique<BmpSource>(data, size, std::move(layout));
}

} // namespace nconvert
