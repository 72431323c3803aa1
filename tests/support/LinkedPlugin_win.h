// The plug-in linked into a test program and hosted by the test browser's own code: a stack is
// written to the temporary folder and streamed to one embed window of its card size, which then
// shows it (LinkedPlugin_win.cpp).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "StackBuilder.h"
#include "format/StackReader.h"

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

// A stack of one plain card (id 1) of the card size, what most hosted tests start from.
stackbuilder::Stack OneCardStack(uint16_t width, uint16_t height);
// Cards 1 to count of the size, each a white picture of 8 bits; the first holds the objects.
stackbuilder::Stack WhiteCards(uint16_t count, uint16_t width, uint16_t height,
                               std::vector<stackbuilder::Object> objects = {});

// A hosted test's page: Open shows the stack in a page named after the test (and a count, new
// for every page), and the page is closed when the test ends, however it ended.
class LinkedPluginTest : public ::testing::Test {
protected:
    // False when the plug-in, the embed or the stream failed (the test asserts it).
    bool Open(const stackbuilder::Stack& stack, void (*afterWiring)() = nullptr);
    void TearDown() override;
    LinkedPluginPage page;
};
void PumpPageMessages();
// The pixel the window shows at a point of its client area.
COLORREF WindowPixel(HWND window, int x, int y);
// The pixel of a bitmap (selected into a memory DC of the screen's).
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);
// A mouse message sent to the window (the button held but for a release), then the page pumped.
void SendMouse(HWND window, UINT message, int x, int y);
// A drag by such messages: pressed at the first point, moved to each one between, released at
// the last.
void DragThrough(HWND window, std::initializer_list<POINT> points);
// Real mouse input through the system: moved to the point of the screen, with the button flags.
void SendScreenMouse(POINT screen, DWORD buttons);
// A real click there: moved to the point, then the button's down and up flags.
void ClickScreen(POINT screen, DWORD down, DWORD up);
// A real key press or release through the system.
void SendScreenKey(WORD key, bool up);

// The open stack saved over its own file and read back from it as a new process would: what the
// reader found, for the caller to dispose of; false when the save or the read failed.
bool SaveAndReadBack(StackFileContents* contents);

// The bytes of one object record of a card of the open stack; empty when there is none.
std::vector<uint8_t> OpenStackObject(uint16_t cardId, uint16_t kind, uint16_t objectId);
// The face the system's font mapper gives for the asked one at 24 pixels (Wine may lack
// Arial and Courier New: tests compare with this, never with a literal name).
std::string MapperFace(const char* asked);
