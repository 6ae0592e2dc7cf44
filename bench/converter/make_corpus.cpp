// SPDX-License-Identifier: MIT
// Writes the benchmark corpus: synthetic but photo-like pictures (smooth light, soft shapes,
// texture and sensor-like noise) in JPEG, PNG, GIF and BMP from 1 to 12 megapixels, plus one
// 7500 x 5000 JPEG, the small pictures of the per-process floor (a 64 x 48 JPEG, a 16 x 16 PNG
// icon with alpha, a 32 x 32 two-frame GIF), a picture of each kind the every-core benchmark
// times (cores/), and 1-2 MP PNG originals for the quality check. Deterministic: the same files on
// every run. Usage: make_corpus OUTDIR
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>
#include <vips/vips8>

using vips::VImage;

namespace {

// One photo-like RGB picture; `seed` varies the composition.
VImage scene(int width, int height, int seed) {
    const double w = width, h = height;
    VImage xy = VImage::xyz(width, height);
    VImage y = xy[1] / h;
    // Sky-to-ground light with a tint per picture.
    const double t = 0.15 * (seed % 5);
    VImage r = (1.0 - y) * (180 + 40 * t) + y * 90;
    VImage g = (1.0 - y) * (200 - 30 * t) + y * 110;
    VImage b = (1.0 - y) * 240 + y * (70 + 40 * t);
    VImage rgb = VImage::bandjoin(std::vector<VImage>{r, g, b});
    // Soft discs and boxes: objects with edges of different sharpness.
    std::vector<double> ink;
    for (int i = 0; i < 14; ++i) {
        const double cx = std::fmod(0.13 + 0.37 * i + 0.11 * seed, 1.0) * w;
        const double cy = std::fmod(0.29 + 0.23 * i + 0.07 * seed, 1.0) * h;
        const double radius =
            (0.03 + 0.09 * std::fmod(0.41 * i + 0.3 * seed, 1.0)) * std::min(w, h);
        ink = {std::fmod(61.0 * i + 17 * seed, 255.0), std::fmod(97.0 * i + 5 * seed, 255.0),
               std::fmod(151.0 * i + 29 * seed, 255.0)};
        if (i % 3 == 0)
            rgb.draw_rect(ink, int(cx), int(cy), int(radius * 1.6), int(radius),
                          VImage::option()->set("fill", true));
        else
            rgb.draw_circle(ink, int(cx), int(cy), int(radius),
                            VImage::option()->set("fill", true));
    }
    // Slight optical blur, then texture at several scales (cloud-like detail made from coarse
    // noise enlarged, as in foliage, walls or skin) and fine noise like a real sensor's.
    rgb = rgb.cast(VIPS_FORMAT_UCHAR).gaussblur(1.2);
    VImage texture = VImage::black(width, height);
    int octave = 0;
    for (auto [step, amplitude] : {std::pair{64, 38.0}, {16, 22.0}, {4, 12.0}}) {
        const int sw = width / step + 2, sh = height / step + 2;
        VImage coarse = VImage::gaussnoise(sw, sh,
                                           VImage::option()
                                               ->set("sigma", amplitude)
                                               ->set("mean", 0.0)
                                               ->set("seed", seed * 7 + octave++));
        coarse = coarse.resize(double(step), VImage::option()->set("kernel", VIPS_KERNEL_CUBIC));
        texture = texture + coarse.crop(0, 0, width, height);
    }
    VImage noise = VImage::gaussnoise(
        width, height, VImage::option()->set("sigma", 4.0)->set("mean", 0.0)->set("seed", seed));
    rgb = rgb + texture + noise - 15;
    return rgb.cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

void write(const VImage& image, const std::string& path) {
    image.write_to_file(path.c_str());
    std::printf("  %s %dx%d\n", path.c_str(), image.width(), image.height());
}

// A raw 24-bit bottom-up BMP.
void writeBmp(const VImage& rgb, const std::string& path) {
    const int w = rgb.width(), h = rgb.height();
    FILE* f = std::fopen(path.c_str(), "wb");
    const int stride = (w * 3 + 3) / 4 * 4;
    const unsigned size = 54 + unsigned(stride) * h;
    unsigned char header[54] = {'B', 'M'};
    auto put32 = [&](int at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = (v >> (8 * i)) & 0xff;
    };
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, unsigned(w));
    put32(22, unsigned(h));
    header[26] = 1;
    header[28] = 24;
    put32(34, unsigned(stride) * h);
    std::fwrite(header, 1, 54, f);
    size_t bytes = 0;
    auto* pixels = static_cast<unsigned char*>(rgb.write_to_memory(&bytes));
    std::vector<unsigned char> row(stride, 0);
    for (int yy = h - 1; yy >= 0; --yy) {
        for (int xx = 0; xx < w; ++xx) {
            const unsigned char* p = pixels + (size_t(yy) * w + xx) * 3;
            row[xx * 3] = p[2];
            row[xx * 3 + 1] = p[1];
            row[xx * 3 + 2] = p[0];
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    g_free(pixels);
    std::fclose(f);
    std::printf("  %s %dx%d\n", path.c_str(), w, h);
}

} // namespace

int main(int argc, char** argv) {
    if (VIPS_INIT(argv[0]) || argc != 2) {
        std::fprintf(stderr, "usage: make_corpus OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string corpus = out + "/corpus/", extra = out + "/";
    // The mixed corpus: about 1 to 12 megapixels each.
    write(scene(1200, 850, 1), corpus + "c01-1mp.jpg[Q=88]");
    write(scene(2048, 1536, 2), corpus + "c02-3mp.jpg[Q=92]");
    write(scene(4000, 3000, 3), corpus + "c03-12mp.jpg[Q=85,interlace=false]");
    write(scene(1600, 1200, 4).colourspace(VIPS_INTERPRETATION_B_W),
          corpus + "c04-2mp-grey.jpg[Q=90]");
    write(scene(3000, 2000, 5), corpus + "c05-6mp.jpg[Q=80,subsample_mode=off]");
    write(scene(1280, 960, 6), corpus + "c06-1mp.png");
    {
        VImage rgb = scene(1600, 1200, 7);
        VImage alpha = (VImage::xyz(1600, 1200)[0] * (255.0 / 1600)).cast(VIPS_FORMAT_UCHAR);
        write(rgb.bandjoin(alpha), corpus + "c07-2mp-alpha.png");
    }
    write(scene(2000, 1500, 8), corpus + "c08-3mp.png");
    write(scene(1000, 1000, 9), corpus + "c09-1mp.gif");
    {
        std::vector<VImage> frames;
        for (int i = 0; i < 3; ++i)
            frames.push_back(scene(640, 480, 10 + i).bandjoin(255));
        VImage strip = VImage::arrayjoin(frames, VImage::option()->set("across", 1))
                           .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
        strip.set(VIPS_META_PAGE_HEIGHT, 480);
        strip.set("delay", std::vector<int>{120, 120, 300});
        strip.set("loop", 0);
        write(strip, corpus + "c10-anim-3x0.3mp.gif");
    }
    // BMP through our own writer would be circular; libvips has no BMP saver without
    // ImageMagick, so BMPs are written as raw 24-bit files here.
    writeBmp(scene(1200, 900, 13), corpus + "c11-1mp.bmp");
    writeBmp(scene(2400, 1700, 14), corpus + "c12-4mp.bmp");
    // The large picture and the floor.
    write(scene(7500, 5000, 20), extra + "big-7500x5000.jpg[Q=90]");
    write(scene(64, 48, 21), extra + "tiny-64x48.jpg[Q=90]");
    {
        // An icon: opaque in the middle, fading to transparent at the corners.
        VImage xy = VImage::xyz(16, 16) - 7.5;
        VImage distance = (xy[0] * xy[0] + xy[1] * xy[1]).pow(0.5);
        VImage alpha = (255 - (distance - 4) * 60).cast(VIPS_FORMAT_UCHAR);
        write(scene(16, 16, 22).bandjoin(alpha), extra + "icon-16x16-alpha.png");
    }
    {
        std::vector<VImage> frames{scene(32, 32, 23), scene(32, 32, 24)};
        VImage strip = VImage::arrayjoin(frames, VImage::option()->set("across", 1))
                           .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
        strip.set(VIPS_META_PAGE_HEIGHT, 32);
        strip.set("delay", std::vector<int>{200, 200});
        strip.set("loop", 0);
        write(strip, extra + "anim-32x32-2frames.gif");
    }
    // One picture of each kind the every-core benchmark (cores.py) times, beside the large
    // JPEG above.
    const std::string cores = extra + "cores/";
    g_mkdir_with_parents(cores.c_str(), 0755);
    write(scene(3890, 2592, 40), cores + "jpeg-3890x2592.jpg[Q=90]");
    write(scene(2000, 1500, 41), cores + "png-2000x1500.png");
    write(scene(800, 600, 42), cores + "gif-800x600.gif");
    writeBmp(scene(2048, 1536, 43), cores + "bmp-2048x1536.bmp");
    // Quality originals (lossless).
    for (int i = 0; i < 4; ++i)
        write(scene(1200 + 160 * i, 800 + 120 * i, 30 + i),
              extra + "quality/q" + std::to_string(i) + ".png");
    return 0;
}
