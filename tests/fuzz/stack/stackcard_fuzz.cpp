// Arbitrary bytes as a stack file read for one card without opening it (the id and place asked
// for come first): refused, or a card record of the stack read into a handle of its own.
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "format/ByteSource.h"
#include "stack/open/StackOpen.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = InitMemRefs();
    if (!ready || size < 3 || size > (1 << 20))
        return 0;
    const int handles = MemRefsCount();
    const uint16_t cardId = uint16_t(data[0] << 8 | data[1]);
    const int position = data[2] % 8;
    SpanByteSource source({data + 3, size - 3});
    StackConversion cv;
    int16_t depth = 0, version = 0, count = 0;
    Handle card = 0;
    bool notAStack = false;
    const int result = ReadStackCardFrom(source, cardId, position, cv, &depth, &version, &count, &card, &notAStack);
    if (result == 0) {
        FuzzCheck(card != 0 && GetHandleSize(card) <= size);
        DisposeHandle(card);
    } else {
        FuzzCheck(card == 0);
    }
    FuzzCheck(MemRefsCount() == handles);
    return 0;
}
