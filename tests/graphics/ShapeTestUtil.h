// A canvas the shape rasterizer draws into in tests: how often each pixel of a window was
// touched, and how many touches fell outside it. Pictures are one string per row, '#' for a
// touched pixel, so that an expected shape reads as what it shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/masks/Shapes.h"

using ShapeArt = std::vector<std::string>;

class ShapeCanvas : public shapes::ShapeSink {
public:
    explicit ShapeCanvas(shapes::ShapeRect window)
        : window_(window), width_(window.right - window.left), counts_(size_t(width_) * (window.bottom - window.top)) {}
    ShapeCanvas(int width, int height) : ShapeCanvas(shapes::ShapeRect{0, 0, width, height}) {}

    void Span(int32_t x1, int32_t x2, int32_t y) override {
        for (int64_t x = x1; x <= x2; ++x)
            Touch(x, y);
    }
    void Fill(const shapes::ShapeRect& r) override {
        for (int64_t y = r.top; y < r.bottom; ++y) {
            for (int64_t x = r.left; x < r.right; ++x)
                Touch(x, y);
        }
    }

    bool at(int64_t x, int64_t y) const { return Inside(x, y) && counts_[Index(x, y)] > 0; }
    int touched(int atLeast = 1) const {
        int n = 0;
        for (int c : counts_)
            n += c >= atLeast;
        return n;
    }
    int outside() const { return outside_; }
    // Pixels drawn here but not on another canvas of the same window.
    int NotOn(const ShapeCanvas& other) const {
        int n = 0;
        for (size_t i = 0; i < counts_.size(); ++i)
            n += counts_[i] > 0 && other.counts_[i] == 0;
        return n;
    }
    // With parity, the pixels an exclusive-or drawing leaves changed (touched an odd number of times).
    ShapeArt Art(bool parity = false) const {
        ShapeArt art;
        for (int32_t y = window_.top; y < window_.bottom; ++y) {
            art.emplace_back();
            for (int32_t x = window_.left; x < window_.right; ++x) {
                const int n = Inside(x, y) ? counts_[Index(x, y)] : 0;
                art.back() += (parity ? n % 2 : n) ? '#' : '.';
            }
        }
        return art;
    }

private:
    bool Inside(int64_t x, int64_t y) const {
        return x >= window_.left && x < window_.right && y >= window_.top && y < window_.bottom;
    }
    size_t Index(int64_t x, int64_t y) const { return size_t(y - window_.top) * width_ + size_t(x - window_.left); }
    void Touch(int64_t x, int64_t y) {
        if (Inside(x, y))
            ++counts_[Index(x, y)];
        else
            ++outside_;
    }

    shapes::ShapeRect window_;
    int width_;
    std::vector<int> counts_;
    int outside_ = 0;
};

// What a draw call puts on a canvas the size of the window.
template <class Draw>
ShapeCanvas DrawnShape(shapes::ShapeRect window, Draw draw) {
    ShapeCanvas canvas(window);
    draw(canvas);
    return canvas;
}
