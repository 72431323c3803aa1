// The performer: the testing answer, the action bits from the lowest up, the move, the wait and
// the click flush (ObjectActions.h, ActionPerform.h).
#include "host/player/ObjectActions.h"

#include <algorithm>

#include "actions/ActionRecord.h"
#include "actions/TestingButtons.h"
#include "core/memory/ByteReader.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/ActionPerform.h"
#include "host/player/DownloadReplay.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

// Every pending press and release of the mouse (513 to 521) goes unhandled.
void DropPendingClicks() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    }
}

bool IgnoresExtraClicks() {
    const Handle header = GetStackHeaderHandle();
    return header && (GetHandleWord(header, kHeaderFlags) & kStackIgnoreExtraClicks) != 0;
}

void RunBit(Performance& p, uint16_t bit) {
    switch (bit) {
    case kActSoundFile:
    case kActSoundUnused:
    case kActSoundResource: PlayActionSound(p, bit); break;
    case kActNba: RunActionNba(p); break;
    case kActUrl: OpenActionUrl(p); break;
    case kActAnimation: p.marks.animation = PlayActionAnimation(p); break;
    case kActMovie:
    case kActVideodiscOld:
    case kActVideodisc: PlayActionMedia(p, bit); break;
    case kActLogo: RunActionLogo(p); break;
    case kActLaunch: LaunchActionProgram(p); break;
    default: break;  // the stack path (0x10) and the move (0x20) are the move's
    }
}

// The actions that reach outside the stack: a device opened (the videodisc player, the live video
// of a capture card) or a program, document or address started.
bool ReachesOutside(uint16_t bit) {
    return bit == kActVideodisc || bit == kActVideodiscOld || bit == kActLaunch || bit == kActUrl;
}

// One action, which is what a file it asks for meanwhile is for. Every chain of actions comes
// through here, marked with its origin: a stack from the web reaches outside only when the
// person's click or key started the chain.
void RunAction(Performance& p, uint16_t bit) {
    if (ReachesOutside(bit) && !p.origin.ByPerson() && OpenStackIsFromTheWeb())
        return;
    PendingWork work;
    SetPendingAction(bit);
    RunBit(p, bit);
}

// The action-flag and testing words of the record; false when it cannot be read.
bool ReadActionWords(Handle record, uint32_t offset, uint16_t* flags, uint16_t* testing) {
    if (!record || !IsValidHandle(record))
        return false;
    return ReadActionRecordAt(record, offset, [&](std::span<const uint8_t> r) {
        *flags = GetU16(r, kButtonActionFlags);
        *testing = GetU16(r, kButtonTesting);
    });
}

Performance Start(HWND window, Handle record, uint32_t offset, uint16_t objectId, ActionOrigin origin) {
    Performance p;
    p.window = window;
    p.record = record;
    p.offset = offset;
    p.objectId = objectId;
    p.origin = origin;
    return p;
}

}  // namespace

std::vector<uint8_t> CopyPerformedChunk(const Performance& p, uint16_t tag) {
    uint32_t at = 0;
    if (!FindObjectChunk(p.record, p.offset, tag, &at))
        return {};
    HandleLock lock(p.record);
    if (!lock)
        return {};
    const uint32_t size = GetHandleSize(p.record);
    const std::span<const uint8_t> record =
        p.offset <= size ? ActionRecordBytes({lock.get() + p.offset, size - p.offset}) : std::span<const uint8_t>{};
    if (at + kChunkHeaderBytes > record.size())
        return {};
    const uint32_t length = std::min<uint32_t>(GetU32(record, at + kObjectLength), static_cast<uint32_t>(record.size() - at));
    return {record.begin() + at, record.begin() + at + length};
}

int PerformObjectActions(HWND window, Handle record, uint32_t offset, uint16_t objectId, ActionOrigin origin, int waitAfter,
                         const uint8_t* label) {
    uint16_t flags = 0, testing = 0;
    if (!ReadActionWords(record, offset, &flags, &testing))
        return 0;
    if (testing != 0)
        RecordTestingAnswer(static_cast<int16_t>(testing), label);
    ActionMove move;
    const bool moveDue = (flags & kActGoTo) != 0 && ReadActionMove(record, offset, &move);

    Performance p = Start(window, record, offset, objectId, origin);
    for (uint32_t bit = 1; bit <= flags && bit < 0x10000; bit <<= 1) {
        if (!(flags & bit))
            continue;
        RunAction(p, static_cast<uint16_t>(bit));
        if (p.stop)
            break;
    }
    if (moveDue)
        GoToActionDestination(move, p.marks, objectId);
    if (!p.stop) {
        if (waitAfter)
            WaitAfterActions(p.marks, objectId);
        if (IgnoresExtraClicks())
            DropPendingClicks();
    }
    return p.edited;
}

int PerformOneAction(HWND window, Handle record, uint32_t offset, uint16_t objectId, ActionOrigin origin,
                     uint16_t action) {
    uint16_t flags = 0, testing = 0;
    if (!ReadActionWords(record, offset, &flags, &testing) || !(flags & action))
        return 0;  // the action is no longer there
    Performance p = Start(window, record, offset, objectId, origin);
    RunAction(p, action);
    return p.edited;
}
