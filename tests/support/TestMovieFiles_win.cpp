// Movie files the tests write: an RLE AVI of four coloured frames and a GIF of three images.
#include "tests/support/TestMovieFiles_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>

// LZW with a clear code after every two pixels, so that codes stay three bits wide.
Bytes GifPixels(const Bytes& pixels) {
    Bytes data;
    uint32_t bits = 0, count = 0;
    const auto emit = [&](uint32_t code) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            data.push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0)
            emit(4);
        emit(pixels[i]);
    }
    emit(5);
    if (count)
        data.push_back(uint8_t(bits));
    Bytes out{2};
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + at, data.begin() + at + n);
    }
    out.push_back(0);
    return out;
}

Bytes RleAvi() { return FourFrameRleAvi(kAviWidth, kAviHeight); }

// Three 8 × 8 frames: all colour 1; the left half colour 2 over it; all colour 3.
Bytes ThreeFrameGif() {
    Bytes b{'G', 'I', 'F', '8', '9', 'a', 8, 0, 8, 0, 0x81, 0, 0};
    for (int i = 0; i < 4; ++i)
        b.insert(b.end(), {kColours[i][2], kColours[i][1], kColours[i][0]});
    const auto frame = [&](int width, uint8_t colour) {
        b.insert(b.end(), {0x21, 0xF9, 4, 0x04, 10, 0, 0, 0});
        b.insert(b.end(), {0x2C, 0, 0, 0, 0, uint8_t(width), 0, 8, 0, 0});
        const Bytes lzw = GifPixels(Bytes(size_t(width) * 8, colour));
        b.insert(b.end(), lzw.begin(), lzw.end());
    };
    frame(8, 1);
    frame(4, 2);
    frame(8, 3);
    b.push_back(0x3B);
    return b;
}

std::string TempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string WriteTemp(const char* name, const Bytes& bytes) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

