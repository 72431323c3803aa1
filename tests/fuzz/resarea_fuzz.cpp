// Arbitrary stack-file bytes: the opening sequence, and the resource area on its own, open or
// refuse without reading or allocating outside the file and leave nothing behind; an area that
// opens is written out again and the written file reopens to the same live entries, raw ones
// byte for byte.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/files/FileLayerMemory.h"
#include "core/memory/ByteReader.h"
#include "format/ResFile.h"
#include "format/StackReader.h"

namespace {

constexpr char kFuzzPath[] = "C:\\fuzz.stk";
constexpr char kSaved[] = "C:\\saved.stk";
constexpr size_t kMaxInput = 1 << 20;

struct Live {
    uint32_t type;
    uint16_t id;
    std::vector<uint8_t> data;
    bool raw;
};

std::vector<Live> LiveEntries(int32_t refNum) {
    std::vector<Live> live;
    for (const ResEntry& e : CopyResEntries(FindResFile(refNum)))
        if (!(e.attributes & kResDeleted))
            live.push_back({e.type, e.id, HandleToBytes(e.data), e.raw != 0});
    return live;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput)
        return 0;
    static bool ready = [] {
        InitMemRefs();
        InitFolderTableAt("C:\\nploom.dll", nullptr);
        std::atexit([] {
            FreeFolderTable();
            FreeMemRefs();
        });
        return true;
    }();
    (void)ready;
    UseMemoryFileSystem();
    PutMemoryFile(kFuzzPath, {data, size});
    SetFileSpecFromPath(kSlotCurrentStack, kFuzzPath);
    const int handles = MemRefsCount();

    // The whole opening sequence.
    {
        SpanByteSource source({data, size});
        StackConversion cv;
        StackFileContents contents;
        if (!ReadStackFile(source, cv, contents).ok() && (contents.header || !contents.cards.empty() || contents.resFile))
            __builtin_trap();
        DisposeStackFileContents(contents);
    }

    const uint32_t offset = size >= 64 ? GetBE32({data, size}, 60) : 128;
    const int32_t refNum = OpenResFileAt(GetFileSpec(kSlotCurrentStack), offset);
    if (refNum && offset <= size) {
        const std::vector<Live> before = LiveEntries(refNum);
        PutMemoryFile(kSaved, std::vector<uint8_t>(offset, 0));
        FileRef out = ActiveFileSystem().open(kSaved, kOpenReadWrite);
        ResourceAreaPlaces places;
        const int err = WriteResourceArea(out, offset, refNum, &places);
        if (err == kFileOk)
            NoteResourceAreaSaved(refNum, places, kSaved);
        if (err == kFileOk) {
            // The header writer's part: the count at 64.
            uint8_t count[4];
            SetBE32(count, 0, GetResFileCount(refNum));
            int32_t n = 4;
            if (offset >= 68 && FileSeek(out, kSeekStart, 64) == kFileOk)
                FileWrite(out, &n, count);
        }
        FileClose(out);
        CloseResFile(refNum);
        if (err == kFileOk && offset >= 128) {
            SetFileSpecFromPath(3, kSaved);
            const int32_t again = OpenResFileAt(GetFileSpec(3), offset);
            if (!again)
                __builtin_trap();
            const std::vector<Live> after = LiveEntries(again);
            if (after.size() != before.size())
                __builtin_trap();
            for (size_t i = 0; i < after.size(); ++i) {
                if (after[i].type != before[i].type || after[i].id != before[i].id)
                    __builtin_trap();
                // Types kept raw, and data that did not convert, come back byte for byte.
                const bool converted = before[i].type == ResType("Actn") || before[i].type == ResType("Hlnk") ||
                                       before[i].type == ResType("Crsr") || before[i].type == ResType("NBAs");
                if ((!converted || before[i].raw) && after[i].data != before[i].data)
                    __builtin_trap();
                if (after[i].raw != before[i].raw)
                    __builtin_trap();
            }
            CloseResFile(again);
        }
    } else if (refNum) {
        CloseResFile(refNum);
    }
    if (MemRefsCount() != handles || OpenMemoryFileCount() != 0)
        __builtin_trap();
    return 0;
}
