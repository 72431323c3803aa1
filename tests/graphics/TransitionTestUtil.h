// The transition tests' fixture: a shown window of kWidth x kHeight showing card A, a bitmap of
// card B, the window's pixels, and a hook that records every step end (with a frame at the
// step asked for) on a fake tick clock.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "core/system/Ticks.h"
#include "core/ui/GdiGuards.h"
#include "cardview/transitions/CardTransitions.h"
#include "cardview/transitions/TransitionTiming.h"
#include "tests/graphics/DcPixelsTestUtil.h"

namespace transition_test {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

inline uint32_t g_ms = 0;
inline uint32_t FakeClock() { return ++g_ms; }  // a millisecond per reading

inline COLORREF CardA(int, int) { return RGB(200, 40, 40); }
// Card B: stripes and a gradient, so a pixel out of place shows.
inline COLORREF CardB(int x, int y) {
    return ((x / 3 + y / 5) % 2) ? RGB(0, (y * 2) & 0xFF, 255) : RGB((x * 3) & 0xF8, 255, 0);
}

using Pixels = std::vector<uint32_t>;

inline Pixels ReadPixels(HDC dc) { return ReadDcPixels(dc, kWidth, kHeight); }

class TransitionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousClock_ = SetMillisecondClock(FakeClock);
        savedHooks_ = TransitionHooks();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TransitionTestWindow";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "TransitionTestWindow", "", WS_POPUP | WS_VISIBLE, 30, 40, kWidth,
                                  kHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        UpdateWindow(window_);
        WindowDC dc(window_);
        cardA_ = MakeCard(dc.get(), CardA);
        cardB_ = MakeCard(dc.get(), CardB);
        pixelsA_ = PixelsOf(cardA_);
        pixelsB_ = PixelsOf(cardB_);
    }
    void TearDown() override {
        TransitionHooks() = savedHooks_;
        SetMillisecondClock(previousClock_);
        DestroyWindow(window_);
        DeleteObject(cardA_);
        DeleteObject(cardB_);
    }

    static HBITMAP MakeCard(HDC dc, COLORREF (*color)(int, int)) {
        HBITMAP bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
        MemoryDC memory(dc);
        SelectedObject selected(memory.get(), bitmap);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                SetPixel(memory.get(), x, y, color(x, y));
        return bitmap;
    }
    Pixels PixelsOf(HBITMAP bitmap) const {
        WindowDC dc(window_);
        MemoryDC memory(dc.get());
        SelectedObject selected(memory.get(), bitmap);
        return ReadPixels(memory.get());
    }
    Pixels WindowPixels() const { return ReadPixels(WindowDC(window_).get()); }
    void ShowCardA() {
        WindowDC dc(window_);
        MemoryDC memory(dc.get());
        SelectedObject selected(memory.get(), cardA_);
        BitBlt(dc.get(), 0, 0, kWidth, kHeight, memory.get(), 0, 0, SRCCOPY);
    }
    // Pixels inside rect that show B, and pixels outside it that are no longer A.
    struct Mix {
        int showB = 0, showA = 0, strayOutside = 0, other = 0;
    };
    Mix Compare(const Pixels& got, const RECT& r) const {
        Mix m;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const size_t i = size_t(y) * kWidth + x;
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                if (!inside)
                    m.strayOutside += got[i] != pixelsA_[i];
                else if (got[i] == pixelsB_[i])
                    ++m.showB;
                else if (got[i] == pixelsA_[i])
                    ++m.showA;
                else
                    ++m.other;
            }
        return m;
    }

    // Step ends seen by the hook: the frame at the step asked for, and the tick of each end.
    struct Capture {
        const TransitionsTest* test = nullptr;
        int captureAt = -1;
        int capturedStep = 0;
        Pixels frame;
        std::vector<uint32_t> ticks;
        int stepCount = 0;
    };
    static void OnStep(const TransitionContext&, int step, int stepCount, void* observer) {
        auto* c = static_cast<Capture*>(observer);
        c->ticks.push_back(GetTicks());
        c->stepCount = stepCount;
        if (step == c->captureAt) {
            c->capturedStep = step;
            c->frame = c->test->WindowPixels();
        }
    }
    void Run(int transition, int effectId, int speed, const RECT& r, Capture* capture) {
        Run(CardMove{transition, effectId, speed}, r, capture);
    }
    void Run(const CardMove& move, const RECT& r, Capture* capture) {
        capture->test = this;
        TransitionHooks().stepEnded = OnStep;
        TransitionHooks().observer = capture;
        RunTransition(move, window_, r, cardB_, 0);
        TransitionHooks().stepEnded = nullptr;
    }

    MillisecondClock previousClock_ = nullptr;
    TransitionStepHooks savedHooks_{};
    HWND window_ = nullptr;
    HBITMAP cardA_ = nullptr, cardB_ = nullptr;
    Pixels pixelsA_, pixelsB_;
};

}  // namespace transition_test
