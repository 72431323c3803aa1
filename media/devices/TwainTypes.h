// The records and codes of the TWAIN interface that the scanner import uses, laid out as the
// source manager and the sources expect them (2-byte packing). No Windows header: the handles
// and pointers are 32-bit values of the 32-bit program.
#pragma once

#include <cstdint>

#pragma pack(push, 2)
using TwStr32 = char[34];

struct TwVersion {
    uint16_t majorNum;
    uint16_t minorNum;
    uint16_t language;
    uint16_t country;
    TwStr32 info;
};

struct TwIdentity {
    uint32_t id;
    TwVersion version;
    uint16_t protocolMajor;
    uint16_t protocolMinor;
    uint32_t supportedGroups;
    TwStr32 manufacturer;
    TwStr32 productFamily;
    TwStr32 productName;
};

struct TwUserInterface {
    uint16_t showUI;
    uint16_t modalUI;
    void* parent;
};

struct TwEvent {
    void* event;  // the MSG
    uint16_t message;
};

struct TwCapability {
    uint16_t cap;
    uint16_t conType;
    void* container;  // a global memory handle
};

struct TwOneValue {
    uint16_t itemType;
    uint32_t item;
};

struct TwPendingXfers {
    uint16_t count;
    uint32_t reserved;
};
#pragma pack(pop)

static_assert(sizeof(TwIdentity) == 156);
static_assert(sizeof(TwOneValue) == 6);

enum TwGroup : uint32_t { kDgControl = 1, kDgImage = 2 };
enum TwData : uint16_t {
    kDatCapability = 1, kDatEvent = 2, kDatIdentity = 3, kDatParent = 4, kDatPendingXfers = 5,
    kDatUserInterface = 9, kDatImageNativeXfer = 0x0104,
};
enum TwMsg : uint16_t {
    kMsgNull = 0, kMsgGet = 1, kMsgGetDefault = 3, kMsgGetFirst = 4, kMsgGetNext = 5, kMsgSet = 6, kMsgReset = 7,
    kMsgXferReady = 0x0101, kMsgCloseDsReq = 0x0102, kMsgOpenDsm = 0x0301, kMsgCloseDsm = 0x0302,
    kMsgOpenDs = 0x0401, kMsgCloseDs = 0x0402, kMsgUserSelect = 0x0403, kMsgDisableDs = 0x0501,
    kMsgEnableDs = 0x0502, kMsgProcessEvent = 0x0601, kMsgEndXfer = 0x0701,
};
enum TwReturn : uint16_t {
    kTwrcSuccess = 0, kTwrcFailure = 1, kTwrcCheckStatus = 2, kTwrcCancel = 3,
    kTwrcDsEvent = 4, kTwrcNotDsEvent = 5, kTwrcXferDone = 6, kTwrcEndOfList = 7,
};
inline constexpr uint16_t kCapXferCount = 1;
inline constexpr uint16_t kTwonOneValue = 5;
inline constexpr uint16_t kTwtyInt16 = 1;
