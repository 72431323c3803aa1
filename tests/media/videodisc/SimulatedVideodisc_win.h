// Tests of the simulated videodisc player (tools/vdplayer), a CAV disc in it: the player logs
// what reaches it to a file of the temporary folder, read back line by line.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "core/system/PluginModule.h"
#include "media/videodisc/Videodisc.h"
#include "tests/support/ProcessNames_win.h"

class SimulatedVideodiscTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));  // the dialogs' and alerts' templates
        char dir[MAX_PATH];
        GetTempPathA(sizeof dir, dir);
        log_ = std::string(dir) + "loom-videodisc-" + ProcessTag() + ".log";
        DeleteFileA(log_.c_str());
        SetEnvironmentVariableA("LOOM_VIDEODISC_LOG", log_.c_str());
        SetEnvironmentVariableA("LOOM_VIDEODISC", "cav");
    }
    void TearDown() override {
        CloseVideodiscPlayer();
        ClearVideodiscState();
        SetEnvironmentVariableA("LOOM_VIDEODISC_LOG", nullptr);
        SetEnvironmentVariableA("LOOM_VIDEODISC", nullptr);
        DeleteFileA(log_.c_str());
    }
    // The player's log but its status questions, which are many and say nothing here.
    std::vector<std::string> Log() const {
        std::ifstream in(log_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            if (line.rfind("status", 0) != 0)
                lines.push_back(line);
        return lines;
    }
    bool Logged(const std::string& line) const {
        const std::vector<std::string> lines = Log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    void ClearLog() const { DeleteFileA(log_.c_str()); }
    std::string log_;
};
