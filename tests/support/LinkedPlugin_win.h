// The plug-in linked into a test program and hosted by the test browser's own code: a stack is
// written to the temporary folder and streamed to one embed window of its card size, which then
// shows it (LinkedPlugin_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "StackBuilder.h"

struct LinkedPluginPage {
    HWND page = nullptr;
    HWND embed = nullptr;
    std::string file;  // the stack in the temporary folder
    int workingDepthBefore = 0;  // put back on closing: later tests of the program start from it
};

// Opens the stack (named name in the temporary folder) in a new page; false when the plug-in,
// the embed or the stream failed. afterWiring runs once the plug-in wired its layers, before the
// window is given (a test's own QuickTime binding goes in there).
bool OpenInLinkedPlugin(const stackbuilder::Stack& stack, const std::string& name, LinkedPluginPage* page,
                        void (*afterWiring)() = nullptr);
// The page's stack opened again from its file of this machine (the Open command's way), so that
// it finds its files here, as a stack of this machine does; a stack from the web asks its site.
// False when it did not open.
bool OpenAgainFromThisMachine(const LinkedPluginPage& page);
// Save as the menu's command 102 does it, answering what the plug-in asks: a stack from the web
// (the page's) is saved as a new file of the temporary folder through its Save As dialog, and is
// that file from then on; one with a file of its own is saved over it (the conversion alert 2340
// answered so). A stack saved away from files it names beside itself tells of them (one alert,
// answered when `namesFilesElsewhere`). True when saved and nothing else was asked; the file is
// then slot 1's.
bool SaveOpenStack(HWND embed, bool namesFilesElsewhere = false);
// Ends the instance and the plug-in, the page and the file.
void CloseLinkedPlugin(LinkedPluginPage* page);
void PumpPageMessages();
// The pixel the window shows at a point of its client area.
COLORREF WindowPixel(HWND window, int x, int y);
// A mouse message sent to the window (the button held but for a release), then the page pumped.
void SendMouse(HWND window, UINT message, int x, int y);

// The bytes of one object record of a card of the open stack; empty when there is none.
std::vector<uint8_t> OpenStackObject(uint16_t cardId, uint16_t kind, uint16_t objectId);
// The face the system's font mapper gives for the asked one at 24 pixels (Wine may lack
// Arial and Courier New: tests compare with this, never with a literal name).
std::string MapperFace(const char* asked);
