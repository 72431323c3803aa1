// Opens bytes as the program's stack through the memory file system and the one stack reader,
// as the plug-in does after a download; and closes it again.
#pragma once

#include <cstdint>
#include <vector>

#include "core/files/FileLayerMemory.h"
#include "core/files/FileSlots.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "format/StackReader.h"
#include "stack/open/NewStack.h"
#include "stack/StackOpenSession.h"

enum class FuzzOpen { NoStack, Opened, CardRefused };

inline FuzzOpen OpenFuzzStack(const char* path, const std::vector<uint8_t>& bytes) {
    PutMemoryFile(path, bytes);
    SetFileSpecFromPath(kSlotCurrentStack, path);
    SpanByteSource source(bytes);
    StackConversion cv;
    StackFileContents contents;
    if (!ReadStackFile(source, cv, contents).ok())
        return FuzzOpen::NoStack;
    bool refused = false;
    for (size_t i = 0; i < contents.cards.size(); ++i) {
        if (AddCardRecord(contents.cards[i], static_cast<int>(i)) != 0)
            refused = true;
        contents.cards[i] = 0;
    }
    SetStackResFile(LinkResFile(contents.resFile));
    contents.resFile = 0;
    SetStackHeaderHandle(contents.header);
    contents.header = 0;
    DisposeStackFileContents(contents);
    SetCurrentCardId(GetCardId(GetCardByIndex(1)));
    ApplyLoadedStackSettings();
    return refused ? FuzzOpen::CardRefused : FuzzOpen::Opened;
}

inline void CloseFuzzStack() {
    CloseAllResFiles();
    SetStackResFile(0);
    DisposeCards();
    SetStackHeaderHandle(0);
}
