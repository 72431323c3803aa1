// The plug-in linked into a test program and hosted by the test browser's own code: a stack is
// written to the temporary folder and streamed to one embed window of its card size, which then
// shows it (LinkedPlugin_win.cpp).
#pragma once

#include <windows.h>

#include <string>

#include "StackBuilder.h"

struct LinkedPluginPage {
    HWND page = nullptr;
    HWND embed = nullptr;
    std::string file;  // the stack in the temporary folder
};

// Opens the stack (named name in the temporary folder) in a new page; false when the plug-in,
// the embed or the stream failed. afterWiring runs once the plug-in wired its layers, before the
// window is given (a test's own QuickTime binding goes in there).
bool OpenInLinkedPlugin(const stackbuilder::Stack& stack, const std::string& name, LinkedPluginPage* page,
                        void (*afterWiring)() = nullptr);
// Ends the instance and the plug-in, the page and the file.
void CloseLinkedPlugin(LinkedPluginPage* page);
void PumpPageMessages();
