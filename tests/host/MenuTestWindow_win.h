// A card window stand-in for the menu and tool palette tests: a small popup registered as the
// module's main window, with the deferred commands of earlier tests dropped.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "core/system/PluginModule.h"
#include "host/state/DeferredCommands.h"

class MenuTestWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        card_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 20, 64, 48, nullptr, nullptr, nullptr,
                                nullptr);
        SetMainWindow(card_);
        TakeDeferredCommands();
    }
    void TearDown() override {
        SetMainWindow(nullptr);
        DestroyWindow(card_);
    }
    HWND card_ = nullptr;
};
