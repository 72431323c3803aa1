// The interface between the host and its extension modules ("*.nba" action modules in the
// "NBAS" folder, "*.xtr" Extras modules in the extras folder). A module is a library that
// exports one entry point, undecorated:
//
//     extern "C" int __cdecl NBAMain(NbaParamBlock* block);   // 0 for success
//
// The host fills the one parameter block and calls the entry with its address; the module may
// call the host back through the callback stored at +16, with a request code at +46 and
// parameters from +50, passing the same block. Both sides use cdecl, so a callback called with
// or without its argument leaves the stack as it was. The offsets below are the interface;
// every value is little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define NBA_CDECL __cdecl
#else
#define NBA_CDECL
#endif

#pragma pack(push, 1)
struct NbaParamBlock {
    uint16_t objectId;      // the object whose action runs, or the one being set up
    uint16_t cardId;        // the current card
    uint32_t card;          // the current card's record handle (opaque to modules)
    uint32_t unused8;
    uint32_t module;        // module handle of the called module
    uint32_t callback;      // the host's request entry
    uint32_t window;        // the card window
    uint32_t setupWindow;   // the chooser's window during set-up (message 3), else 0
    uint32_t persistent;    // the module's value kept in its 'NBAs' resource
    uint8_t unused32[12];
    uint16_t version;       // always kNbaInterfaceVersion
    uint16_t message;       // message to the module, or request code to the host
    uint16_t unused48;
    uint32_t param1;
    uint32_t param2;
    uint32_t param3;
    uint32_t param4;
    uint32_t handled;       // message 11: not 0 when the message is consumed
    uint16_t nbaId;         // id of the called module
    uint16_t unused72;
    uint32_t resultHandle;  // a data handle a module leaves for host request 67
};
#pragma pack(pop)

static_assert(std::endian::native == std::endian::little, "modules read the block in their own order");
static_assert(sizeof(NbaParamBlock) == 78);
static_assert(offsetof(NbaParamBlock, cardId) == 2 && offsetof(NbaParamBlock, card) == 4);
static_assert(offsetof(NbaParamBlock, module) == 12 && offsetof(NbaParamBlock, callback) == 16);
static_assert(offsetof(NbaParamBlock, window) == 20 && offsetof(NbaParamBlock, setupWindow) == 24);
static_assert(offsetof(NbaParamBlock, persistent) == 28 && offsetof(NbaParamBlock, version) == 44);
static_assert(offsetof(NbaParamBlock, message) == 46 && offsetof(NbaParamBlock, param1) == 50);
static_assert(offsetof(NbaParamBlock, param2) == 54 && offsetof(NbaParamBlock, param3) == 58);
static_assert(offsetof(NbaParamBlock, param4) == 62 && offsetof(NbaParamBlock, handled) == 66);
static_assert(offsetof(NbaParamBlock, nbaId) == 70 && offsetof(NbaParamBlock, resultHandle) == 74);

using NbaMainProc = int(NBA_CDECL*)(NbaParamBlock* block);
using NbaHostCallback = void(NBA_CDECL*)(NbaParamBlock* block);

inline constexpr uint16_t kNbaInterfaceVersion = 5;

// Messages to modules (+46).
inline constexpr uint16_t kNbaMessageClose = 2;
inline constexpr uint16_t kNbaMessageSetUp = 3;      // set-up from the chooser; listing for Extras
inline constexpr uint16_t kNbaMessagePerform = 4;    // an action runs; an Extras entry is chosen
inline constexpr uint16_t kNbaMessageIdle = 5;
inline constexpr uint16_t kNbaMessageLeaveCard = 9;
inline constexpr uint16_t kNbaMessageEnterCard = 10;
inline constexpr uint16_t kNbaMessageWindow = 11;    // param1 window, 2 message, 3 wParam, 4 lParam
inline constexpr uint16_t kNbaMessageWaitPoll = 14;
inline constexpr uint16_t kNbaMessageChooserOpens = 15;

// Answers in param1.
inline constexpr uint32_t kNbaKeepWaiting = 0xFFFF00;  // message 14: the host goes on waiting
inline constexpr uint32_t kNbaSetUpKeepData = 0;       // message 3: show the data as text
inline constexpr uint32_t kNbaSetUpNewData = 3;        // message 3: the new data handle is in param2
inline constexpr uint32_t kNbaSetUpNoData = 4;         // message 3: the module keeps no data
inline constexpr uint32_t kNbaMenuTextBytes = 33;      // Extras listing: param1, the text's room

// The module's resources the host reads: strings 1 (its file name in "NBAS") and 3 (its short
// name), "ABOUT_STR" of type "TEXT" (the about text up to its first '/'), and the 16-bit
// "AboutFlags" and "NBAID" of type "LMShort".
inline constexpr unsigned kNbaStringFileName = 1;
inline constexpr unsigned kNbaStringShortName = 3;
inline constexpr uint16_t kNbaAboutNoText = 0x0002;
inline constexpr uint16_t kNbaAboutHideChooser = 0x0004;
