// DIB tests that make GDI bitmaps: the error boxes the graphics code would show are recorded
// instead, and the bitmaps a test keeps are deleted after it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/system/PluginModule.h"
#include "graphics/pixels/GraphicsErrors.h"
#include "tests/graphics/DibTestUtil.h"

inline std::vector<uint32_t> g_reports;  // the error boxes' ids, in order

class GdiDibTest : public DibTest {
protected:
    void SetUp() override {
        DibTest::SetUp();
        SetAppInstance(GetModuleHandle(nullptr));
        SetGraphicsErrorHook([](uint32_t id) { g_reports.push_back(id); });
        g_reports.clear();
    }
    void TearDown() override {
        for (HBITMAP b : bitmaps_)
            DeleteObject(b);
        bitmaps_.clear();
        SetGraphicsErrorHook(nullptr);
        DibTest::TearDown();
    }
    // Deleted at the end of the test.
    HBITMAP Keep(HBITMAP b) {
        if (b)
            bitmaps_.push_back(b);
        return b;
    }

private:
    std::vector<HBITMAP> bitmaps_;
};
