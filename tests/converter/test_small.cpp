// SPDX-License-Identifier: MIT
// The in-process path for small pictures against the libvips pipeline.
#include "fixtures.h"
#include "small_convert.h"

#include <cstring>
#include <gtest/gtest.h>
#include <lcms2.h>

using fixtures::Bytes;
using vips::VImage;
using vips::VOption;

namespace {

Bytes greyProfile() {
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), gamma);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Bytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    cmsFreeToneCurve(gamma);
    return bytes;
}

VImage withIcc(VImage image, const Bytes& icc) {
    image = image.copy();
    vips_image_set_blob_copy(image.get_image(), VIPS_META_ICC_NAME, icc.data(), icc.size());
    return image;
}

std::optional<Bytes> convertSmall(const Bytes& input, int widthPercent, int heightPercent) {
    nconvert::ConvertSettings settings;
    settings.widthPercent = widthPercent;
    settings.heightPercent = heightPercent;
    nconvert::MemorySink sink;
    if (!nconvert::convertSmall(input.data(), input.size(), settings, sink))
        return std::nullopt;
    return sink.bytes();
}

// Every field libvips reads from the file, by value (blobs byte by byte).
void expectSameMetadata(const VImage& a, const VImage& b) {
    char** fa = vips_image_get_fields(a.get_image());
    char** fb = vips_image_get_fields(b.get_image());
    std::vector<std::string> na, nb;
    for (char** f = fa; *f; ++f)
        na.emplace_back(*f);
    for (char** f = fb; *f; ++f)
        nb.emplace_back(*f);
    g_strfreev(fa);
    g_strfreev(fb);
    ASSERT_EQ(na, nb);
    for (const std::string& name : na) {
        if (name == "filename")
            continue;
        if (vips_image_get_typeof(a.get_image(), name.c_str()) == VIPS_TYPE_BLOB) {
            const void* da = nullptr;
            const void* db = nullptr;
            size_t sa = 0, sb = 0;
            vips_image_get_blob(a.get_image(), name.c_str(), &da, &sa);
            vips_image_get_blob(b.get_image(), name.c_str(), &db, &sb);
            EXPECT_TRUE(sa == sb && std::memcmp(da, db, sa) == 0) << name;
        } else {
            char* va = nullptr;
            char* vb = nullptr;
            vips_image_get_as_string(a.get_image(), name.c_str(), &va);
            vips_image_get_as_string(b.get_image(), name.c_str(), &vb);
            EXPECT_STREQ(va, vb) << name;
            g_free(va);
            g_free(vb);
        }
    }
}

} // namespace

TEST(SmallPath, givesThePipelinesPixelsAndMetadata) {
    VImage oriented = withIcc(fixtures::photo(40, 30, 1), greyProfile());
    oriented.set(VIPS_META_ORIENTATION, 6);
    VImage sixteen =
        withIcc(
            (fixtures::photo(20, 16, 3).cast(VIPS_FORMAT_USHORT) * 257).cast(VIPS_FORMAT_USHORT),
            fixtures::srgbProfile())
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_RGB16));
    sixteen.set("png-comment-0-Title", "quorvel");
    const struct {
        const char* name;
        Bytes input;
        int widthPercent;
        int heightPercent;
        std::vector<const char*> kept; // fields the case is about
    } cases[] = {
        {"jpeg 4:2:0", fixtures::save(fixtures::photo(64, 48), ".jpg"), 200, 200, {}},
        {"jpeg 4:4:4, reduced",
         fixtures::save(
             fixtures::photo(64, 48), ".jpg",
             VImage::option()->set("Q", 93)->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_OFF)),
         50,
         75,
         {}},
        {"grey jpeg, EXIF and ICC",
         fixtures::save(oriented, ".jpg"),
         300,
         150,
         {VIPS_META_ICC_NAME, VIPS_META_EXIF_NAME, VIPS_META_ORIENTATION}},
        {"png rgb", fixtures::save(fixtures::photo(16, 16), ".png"), 200, 200, {}},
        {"png rgba", fixtures::save(fixtures::photo(16, 16, 4), ".png"), 300, 200, {}},
        {"png grey + alpha", fixtures::save(fixtures::photo(17, 9, 2), ".png"), 200, 100, {}},
        {"png 16-bit, ICC and text",
         fixtures::save(sixteen, ".png"),
         150,
         250,
         {VIPS_META_ICC_NAME, "png-comment-0-Title"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Bytes> small = convertSmall(c.input, c.widthPercent, c.heightPercent);
        ASSERT_TRUE(small);
        const VImage fast = fixtures::load(*small);
        const VImage full =
            fixtures::load(fixtures::convert(c.input, c.widthPercent, c.heightPercent).bytes);
        ASSERT_EQ(fast.width(), full.width());
        ASSERT_EQ(fast.height(), full.height());
        ASSERT_EQ(fast.bands(), full.bands());
        ASSERT_EQ(fast.format(), full.format());
        EXPECT_LE((fast - full).abs().max(), 1.0);
        expectSameMetadata(fast, full);
        for (const char* field : c.kept)
            EXPECT_NE(vips_image_get_typeof(fast.get_image(), field), 0u) << field;
    }
}

TEST(SmallPath, leavesLargeAndUnusualPicturesToThePipeline) {
    const Bytes cmyk =
        fixtures::save(fixtures::photo(32, 32).colourspace(VIPS_INTERPRETATION_CMYK), ".jpg");
    Bytes cut = fixtures::save(fixtures::photo(32, 32), ".jpg");
    cut.resize(cut.size() * 3 / 4);
    const struct {
        const char* name;
        Bytes input;
        int percent;
    } cases[] = {
        {"output over the threshold", fixtures::save(fixtures::photo(600, 500), ".jpg"), 200},
        {"cmyk jpeg", cmyk, 200},
        {"damaged jpeg", cut, 200},
        {"palette png",
         fixtures::save(fixtures::photo(16, 16), ".png", VImage::option()->set("palette", true)),
         200},
        {"interlaced png",
         fixtures::save(fixtures::photo(16, 16), ".png", VImage::option()->set("interlace", true)),
         200},
        {"gif", fixtures::save(fixtures::photo(16, 16), ".gif"), 200},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(convertSmall(c.input, c.percent, c.percent)) << c.name;
}
