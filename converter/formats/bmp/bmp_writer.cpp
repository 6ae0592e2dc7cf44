// SPDX-License-Identifier: MIT
#include "bmp_writer.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace nconvert {
namespace {

constexpr std::uint32_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kV4Header = 108;

std::uint64_t strideOf(int width, bool alpha) {
    return alpha ? std::uint64_t(width) * 4 : (std::uint64_t(width) * 3 + 3) / 4 * 4;
}

void put16(unsigned char* p, std::uint32_t v) {
    p[0] = v & 0xff;
    p[1] = (v >> 8) & 0xff;
}
void put32(unsigned char* p, std::uint32_t v) {
    put16(p, v & 0xffff);
    put16(p + 2, v >> 16);
}

struct WriteState {
    OutputSink* sink;
    std::uint64_t pixelOffset;
    std::uint64_t stride;
    int height;
    bool alpha;
    std::vector<unsigned char> row;
};

int writeRegion(VipsRegion* region, VipsRect* area, void* a) {
    auto* state = static_cast<WriteState*>(a);
    const int bands = state->alpha ? 4 : 3;
    for (int y = area->top; y < area->top + area->height; ++y) {
        const unsigned char* src = VIPS_REGION_ADDR(region, area->left, y);
        unsigned char* dst = state->row.data();
        for (int x = 0; x < area->width; ++x) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            if (state->alpha)
                dst[3] = src[3];
            src += bands;
            dst += bands;
        }
        const std::uint64_t offset =
            state->pixelOffset + std::uint64_t(state->height - 1 - y) * state->stride;
        if (!state->sink->writeAt(offset, state->row.data(), state->row.size())) {
            vips_error("bmpsave", "%s", "write failed");
            return -1;
        }
    }
    return 0;
}

} // namespace

std::uint64_t bmpFileSize(int width, int height, bool alpha) {
    return kFileHeader + (alpha ? kV4Header : kInfoHeader) + strideOf(width, alpha) * height;
}

int writeBmp(VipsImage* image, OutputSink& sink) {
    const bool alpha = image->Bands == 4;
    const std::uint32_t infoSize = alpha ? kV4Header : kInfoHeader;
    const std::uint64_t stride = strideOf(image->Xsize, alpha);
    const std::uint64_t fileSize = bmpFileSize(image->Xsize, image->Ysize, alpha);
    if (fileSize > 0xffffffffu) {
        vips_error("bmpsave", "%s", "image too large for BMP");
        return -1;
    }
    std::vector<unsigned char> header(kFileHeader + infoSize, 0);
    unsigned char* f = header.data();
    f[0] = 'B';
    f[1] = 'M';
    put32(f + 2, std::uint32_t(fileSize));
    put32(f + 10, kFileHeader + infoSize);
    unsigned char* h = f + kFileHeader;
    put32(h, infoSize);
    put32(h + 4, std::uint32_t(image->Xsize));
    put32(h + 8, std::uint32_t(image->Ysize)); // positive: bottom-up, as every reader expects
    put16(h + 12, 1);
    put16(h + 14, alpha ? 32 : 24);
    put32(h + 16, alpha ? 3 : 0); // BI_BITFIELDS : BI_RGB
    put32(h + 20, std::uint32_t(stride * image->Ysize));
    put32(h + 24, std::uint32_t(std::lround(image->Xres * 1000.0)));
    put32(h + 28, std::uint32_t(std::lround(image->Yres * 1000.0)));
    if (alpha) {
        put32(h + 40, 0x00ff0000);
        put32(h + 44, 0x0000ff00);
        put32(h + 48, 0x000000ff);
        put32(h + 52, 0xff000000);
        put32(h + 56, 0x73524742); // LCS_sRGB
    }
    if (!sink.writeAt(0, header.data(), header.size())) {
        vips_error("bmpsave", "%s", "write failed");
        return -1;
    }
    WriteState state{&sink,  kFileHeader + infoSize,
                     stride, image->Ysize,
                     alpha,  std::vector<unsigned char>(stride, 0)};
    return vips_sink_disc(image, writeRegion, &state);
}

} // namespace nconvert
