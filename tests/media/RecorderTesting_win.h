// What the sound dialog's tests set up: our stand-in wave input device with its capabilities
// and input, a "Samples.stk" beside the program (tests/support), and clicks on the deck's zones.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "BuilderMedia.h"
#include "StackBuilder.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/SamplesStackBeside_win.h"
#include "tests/support/ProcessNames_win.h"

// The stand-in device for the recorder while it lives: the formats its capabilities claim
// ("none": no device), its channels, and an 8-bit mono WAV of the samples as its input.
class StandInWaveIn {
public:
    StandInWaveIn(const std::vector<uint8_t>& samples, const char* formats = "0xFFF", int channels = 1) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        input_ = std::string(folder) + "loom_wavein_" + ProcessTag() + ".wav";
        const std::vector<uint8_t> wav = stackbuilder::WaveFile(1, 11025, 8, samples);
        std::ofstream(input_, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
        SetEnvironmentVariableA("LOOM_WAVEIN", "standin");
        SetEnvironmentVariableA("LOOM_WAVEIN_INPUT", input_.c_str());
        SetEnvironmentVariableA("LOOM_WAVEIN_FORMATS", formats);
        SetEnvironmentVariableA("LOOM_WAVEIN_CHANNELS", std::to_string(channels).c_str());
    }
    ~StandInWaveIn() {
        for (const char* name : {"LOOM_WAVEIN", "LOOM_WAVEIN_INPUT", "LOOM_WAVEIN_FORMATS", "LOOM_WAVEIN_CHANNELS"})
            SetEnvironmentVariableA(name, nullptr);
        DeleteFileA(input_.c_str());
    }
    StandInWaveIn(const StandInWaveIn&) = delete;
    StandInWaveIn& operator=(const StandInWaveIn&) = delete;

private:
    std::string input_;
};

// A release of the mouse over a zone of the deck (0 record, 1 stop, 2 play, 3 clear), as the
// dialog sees a click there.
inline void ClickDeckZone(const DialogView& box, int zone) {
    const RECT deck = box.ControlRect(50);
    const int x = deck.left + (deck.right - deck.left) * (2 * zone + 1) / 8;
    const int y = (deck.top + deck.bottom) / 2;
    PostMessageA(box.Window(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// The "LMS" files the recorder leaves in the temporary folder.
inline int CountRecorderFiles() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((std::string(folder) + "LMS*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

// Answers the sound dialog once it takes input again (a dialog it opened has ended); the step
// goes to the back of the driver's steps while it waits, so it must be the last one.
inline void WhenDeckEnabled(DialogDriver& driver, DialogDriver::Answer answer) {
    driver.Expect(DialogMatch::Template("TAPE"), [&driver, answer](DialogView& box) {
        if (!IsWindowEnabled(box.Window()))
            WhenDeckEnabled(driver, answer);
        else
            answer(box);
    });
}
