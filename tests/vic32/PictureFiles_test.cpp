// The library's picture files: BMP files built byte by byte load with their own colours in
// either row order and at the pixel offset their header gives; the PCX and TGA writers
// round-trip through their loaders at both depths (TGA plain and run-length) and write the
// forms their headers claim; damaged and cut files are refused and leave the image as it was;
// a writer that cannot write leaves no file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/vic32/VicTestUtil.h"

namespace {

std::string TempFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("vicfile_" + name)).string();
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

// A 4-bit BMP 3 x 2 with 3 table entries, `gap` spare bytes before the pixels.
std::vector<uint8_t> FourBitBmp(bool topDown, uint32_t gap) {
    const uint32_t pixelsAt = 14 + 40 + 3 * 4 + gap;
    std::vector<uint8_t> b(pixelsAt + 2 * 4, 0xEE);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, pixelsAt);
    std::fill(b.begin() + 14, b.begin() + 54, 0);
    Put32(b, 14, 40);
    Put32(b, 18, 3);
    Put32(b, 22, topDown ? static_cast<uint32_t>(-2) : 2u);
    Put16(b, 26, 1);
    Put16(b, 28, 4);
    Put32(b, 46, 3);
    const uint8_t table[12] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};  // red, green, blue
    std::copy(table, table + 12, b.begin() + 54);
    // Top row: red green blue; bottom row: blue blue red.
    const uint8_t top[4] = {0x01, 0x20, 0, 0}, bottom[4] = {0x22, 0x00, 0, 0};
    std::copy(topDown ? top : bottom, (topDown ? top : bottom) + 4, b.begin() + pixelsAt);
    std::copy(topDown ? bottom : top, (topDown ? bottom : top) + 4, b.begin() + pixelsAt + 4);
    return b;
}

std::vector<Rgb> AllPixels(const VicImage& image) {
    std::vector<Rgb> out;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            out.push_back(PixelAt(image, x, y));
    return out;
}

}  // namespace

TEST(PictureFiles, BmpLoadsItsColoursFromEitherRowOrderAndItsPixelOffset) {
    const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255};
    for (const bool topDown : {false, true}) {
        const std::string path = TempFile(topDown ? "top.bmp" : "bottom.bmp");
        WriteBytes(path, FourBitBmp(topDown, 6));
        VicBitmapHeader header{};
        ASSERT_EQ(bmpinfo(path.c_str(), &header), VIC_OK);
        EXPECT_EQ(header.width, 3);
        EXPECT_EQ(header.bitCount, 4);
        OwnedImage image(3, 2, 8);  // 4 bits are loaded as 8
        ASSERT_EQ(loadbmp(path.c_str(), image.get()), VIC_OK) << topDown;
        EXPECT_EQ(AllPixels(image.image), (std::vector<Rgb>{red, green, blue, blue, blue, red})) << topDown;
        EXPECT_EQ(image.image.colors, 3);
        std::remove(path.c_str());
    }
    // Cut short, or pixels said to lie past the end: refused, the image untouched.
    std::vector<uint8_t> cut = FourBitBmp(false, 0);
    const std::string path = TempFile("cut.bmp");
    for (const auto& damaged : {std::vector<uint8_t>(cut.begin(), cut.end() - 1),
                                [&] { auto b = cut; Put32(b, 10, 0x7FFFFFF0); return b; }()}) {
        WriteBytes(path, damaged);
        OwnedImage image(3, 2, 8);
        image.image.bits[0] = 0x5A;
        EXPECT_EQ(loadbmp(path.c_str(), image.get()), VIC_BAD_FILE);
        EXPECT_EQ(image.image.bits[0], 0x5A);
    }
    std::remove(path.c_str());
}

TEST(PictureFiles, PcxAndTgaWritersRoundTripThroughTheirLoaders) {
    OwnedImage colour(37, 11, [](int x, int y) { return x < 20 ? Rgb{200, 10, 10} : Smooth(x, y, 37, 11); });
    OwnedImage indexed(37, 11, 8);
    SetPalette(indexed.image, {{0, 0, 0}, {255, 255, 255}, {250, 0, 0}, {0, 0, 250}, {0xC1, 0xC2, 0xC3}});
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x)
            RowFromTop(indexed.image, y)[x] = static_cast<uint8_t>(x < 30 ? 4 : (x * y) % 5);

    struct Case {
        const char* name;
        VicImage* image;
        int (*save)(const char*, const VicImage*);
        int (*info)(const char*, VicFileInfo*);
        int (*load)(const char*, VicImage*);
    };
    const Case cases[] = {
        {"8.pcx", indexed.get(), savepcx, pcxinfo, loadpcx},
        {"24.pcx", colour.get(), savepcx, pcxinfo, loadpcx},
        {"8.tga", indexed.get(), [](const char* p, const VicImage* i) { return savetga(p, i, 0); }, tgainfo, loadtga},
        {"24.tga", colour.get(), [](const char* p, const VicImage* i) { return savetga(p, i, 0); }, tgainfo, loadtga},
        {"8rle.tga", indexed.get(), [](const char* p, const VicImage* i) { return savetga(p, i, 1); }, tgainfo, loadtga},
        {"24rle.tga", colour.get(), [](const char* p, const VicImage* i) { return savetga(p, i, 1); }, tgainfo, loadtga},
    };
    for (const Case& c : cases) {
        const std::string path = TempFile(c.name);
        ASSERT_EQ(c.save(path.c_str(), c.image), VIC_OK) << c.name;
        const std::vector<uint8_t> file = ReadBytes(path);
        VicFileInfo info{};
        ASSERT_EQ(c.info(path.c_str(), &info), VIC_OK) << c.name;
        EXPECT_EQ(info.width, 37);
        EXPECT_EQ(info.length, 11);
        EXPECT_EQ(info.bitsPerPixel, c.image->bitsPerPixel) << c.name;
        OwnedImage back(info.width, info.length, info.bitsPerPixel);
        ASSERT_EQ(c.load(path.c_str(), back.get()), VIC_OK) << c.name;
        EXPECT_EQ(AllPixels(back.image), AllPixels(*c.image)) << c.name;
        const std::string name = c.name;
        if (name.ends_with(".pcx")) {
            EXPECT_EQ(file[0], 0x0A);
            EXPECT_EQ(file[65], c.image->bitsPerPixel == 8 ? 1 : 3) << "planes";
            if (c.image->bitsPerPixel == 8) {
                EXPECT_EQ(file[file.size() - 769], 0x0C) << "palette marker";
            }
        } else {
            EXPECT_EQ(file[2], (c.image->bitsPerPixel == 8 ? 1 : 2) | (name.find("rle") != std::string::npos ? 8 : 0));
            if (name.find("rle") != std::string::npos) {
                EXPECT_LT(file.size(), 18u + (c.image->bitsPerPixel == 8 ? 768 + 37 * 11 : 37 * 11 * 3) - 200)
                    << "runs make it smaller";
            }
        }
        // Every cut of the file is refused without touching the image.
        for (size_t keep : {size_t{17}, size_t{200}, file.size() - 770, file.size() - 1}) {
            if (keep >= file.size())
                continue;
            WriteBytes(path, std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(keep)));
            OwnedImage untouched(37, 11, c.image->bitsPerPixel);
            untouched.image.bits[0] = 0x77;
            EXPECT_NE(c.load(path.c_str(), untouched.get()), VIC_OK) << c.name << " cut at " << keep;
            EXPECT_EQ(untouched.image.bits[0], 0x77) << c.name;
        }
        std::remove(path.c_str());
    }
}

TEST(PictureFiles, FailedWritersLeaveNoFileAndBifIsNotKnown) {
    OwnedImage image(4, 4, 24);
    const std::string inMissingFolder = TempFile("no_such_folder/x.pcx");
    EXPECT_EQ(savepcx(inMissingFolder.c_str(), image.get()), VIC_WRITE_FAILED);
    EXPECT_FALSE(std::filesystem::exists(inMissingFolder));
    const std::string bif = TempFile("x.bif");
    EXPECT_EQ(savebif(bif.c_str(), image.get()), VIC_UNSUPPORTED);
    EXPECT_FALSE(std::filesystem::exists(bif));
    EXPECT_EQ(loadbif(bif.c_str(), image.get()), VIC_UNSUPPORTED);
    EXPECT_EQ(savebmp(bif.c_str(), image.get(), 1), VIC_BAD_ARGUMENT);
    // A TGA wider than any image (found by the fuzzer): refused by its information call.
    std::vector<uint8_t> wide(18 + 64, 0);
    wide[2] = 10;
    Put16(wide, 12, 65471);
    Put16(wide, 14, 1);
    wide[16] = 32;
    const std::string tga = TempFile("wide.tga");
    WriteBytes(tga, wide);
    VicFileInfo info{};
    EXPECT_EQ(tgainfo(tga.c_str(), &info), VIC_BAD_FILE);
    std::remove(tga.c_str());
}
