// The saved object writer and the layout parser. Object names come from stacks, so a name is
// cleaned before it becomes part of a path, and a path that does not fit is refused, never cut.
#include <algorithm>
#include <cstring>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/Ticks.h"
#include "stack/StackPlatform.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "media/library/MediaLibPaths.h"
#include "authoring/cards/ObjectFile.h"
#include "format/ResFile.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr int kMaxNumberedNames = 100000;  // a folder never holds that many of one name

bool IsFileNameChar(uint8_t c) { return c >= 32 && !std::strchr("\\/:*?\"<>|", c); }

uint32_t NameOffset(uint16_t kind, uint32_t* fieldBytes) {
    switch (kind) {
    case kObjectGraphic: *fieldBytes = kGraphicNameBytes; return kGraphicName;
    case kObjectButton: *fieldBytes = kButtonNameBytes; return kButtonName;
    case kObjectText: *fieldBytes = kTextNameBytes; return kTextName;
    default: *fieldBytes = 0; return 0;
    }
}

// Appends a to b into out (size bytes with the NUL); false, out emptied, when it does not fit.
bool JoinPath(char* out, size_t size, std::string_view head, std::string_view name, std::string_view number,
              std::string_view extension) {
    const size_t total = head.size() + name.size() + number.size() + extension.size();
    if (total + 1 > size) {
        out[0] = 0;
        return false;
    }
    std::string joined;
    joined.append(head).append(name).append(number).append(extension);
    std::memcpy(out, joined.c_str(), total + 1);
    return true;
}

// The colour table after a graphic that draws its own picture.
bool AppendColorTable(std::vector<uint8_t>& body) {
    ColorTableSource source;
    source.workingDepth = CurrentStackDepth();
    source.appPalette = GetStackPlatformOps().appPaletteColors();
    source.systemPalette = source.appPalette;
    source.ticks = GetTicks();
    ScopedHandle table(PaletteToMacColorTable(source));
    const std::vector<uint8_t> bytes = HandleToBytes(table.get());
    if (bytes.empty())
        return false;
    body.insert(body.end(), bytes.begin(), bytes.end());
    return true;
}

// The record converted per kind; false when it does not convert.
bool AppendRecord(std::span<const uint8_t> record, uint16_t kind, const StackConversion& cv,
                  std::vector<uint8_t>& body) {
    ScopedHandle converted(kind == kObjectGraphic  ? GraphicRecordToFileOrder(record, cv)
                           : kind == kObjectButton ? ButtonRecordToFileOrder(record, cv)
                                                   : TextRecordToFileOrder(record, cv));
    const std::vector<uint8_t> bytes = HandleToBytes(converted.get());
    if (bytes.empty())
        return false;
    body.insert(body.end(), bytes.begin(), bytes.end());
    if (kind == kObjectGraphic && record.size() > kObjectFlags && !(record[kObjectFlags] & kObjectHasPath))
        return AppendColorTable(body);
    return true;
}

// One entry header and its data per held copy, in chain order.
bool AppendEntries(Handle chain, const StackConversion& cv, std::vector<uint8_t>& body) {
    return ForEachHeld(chain, [&](const HeldResource& held) {
        std::vector<uint8_t> data = HandleToBytes(held.request.data);
        if (held.request.type == kActn) {
            const char* reason = nullptr;
            if (SwapResourceDataBytes(kActn, data, ByteOrder::ToFile, cv, &reason) != kStackOk)
                return false;
        }
        std::array<uint8_t, kObjectFileEntryBytes> entry{};
        ByteWriter w(entry, 0);
        w.U32BE(held.request.type);
        w.U16BE(held.request.id);  // the placer maps it to the id the copy gets
        w.U16BE(static_cast<uint16_t>(held.request.attributes >> 16));
        w.U32BE(static_cast<uint32_t>(data.size()));
        w.U16BE(0);
        std::array<uint8_t, kResNameBytes> name{};
        const uint8_t n = held.request.name[0] < kResNameBytes ? held.request.name[0] : kResNameBytes - 1;
        name[0] = n;
        std::memcpy(name.data() + 1, held.request.name + 1, n);
        ConvertTextField(name, ByteOrder::ToFile, cv);
        w.Bytes(name);
        w.U16BE(0);
        w.U16BE(held.request.ownerKind);
        w.U16BE(held.request.ownerId);
        w.U32BE(held.next ? 1 : 0);
        body.insert(body.end(), entry.begin(), entry.end());
        body.insert(body.end(), data.begin(), data.end());
        return true;
    });
}

}  // namespace

// What a button or an action uses, gathered as the clipboard gathers it.
int GatherObjectFileResources(uint16_t, uint16_t id, Handle* chain) {
    return GatherObjectResources(id, chain, 0) == 1 ? 0 : -1;
}
int GatherActionFileResources(Handle action, Handle* chain) {
    return GatherObjectResources(0, chain, action) == 1 ? 0 : -1;
}

uint32_t ObjectFileKindCode(uint16_t kind) {
    switch (kind) {
    case kObjectGraphic: return ResType("Grfc");
    case kObjectButton: return ResType("Bttn");
    case kObjectText: return ResType("TFld");
    default: return 0;
    }
}

const char* ObjectFileExtension(uint16_t kind) {
    switch (kind) {
    case kObjectGraphic: return ".grfc";
    case kObjectButton: return ".bttn";
    case kObjectText: return ".tfld";
    default: return "";
    }
}

bool BuildObjectFileHeader(uint16_t kind, std::span<uint8_t, kObjectFileHeaderBytes> header) {
    const uint32_t code = ObjectFileKindCode(kind);
    if (code == 0)
        return false;
    std::fill(header.begin(), header.end(), 0);
    ByteWriter w(header, 0);
    w.U32BE(ResType("LMPK"));
    w.U32BE(code);
    w.U32BE(kObjectFileVersion);
    return w.ok();
}

std::string ObjectFileBaseName(std::span<const uint8_t> record, uint16_t kind) {
    uint32_t field = 0;
    const uint32_t offset = NameOffset(kind, &field);
    if (field == 0 || record.size() < offset + field)
        return {};
    const size_t length = std::min<size_t>(record[offset], field - 1);
    std::string name;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t c = record[offset + 1 + i];
        name.push_back(IsFileNameChar(c) ? static_cast<char>(c) : '_');
    }
    return name;
}

int MakeUniqueSavePath(char* out, size_t size, const char* name, const char* extension) {
    if (!out || size == 0 || !name || !name[0] || !extension)
        return 0;
    out[0] = 0;
    char folder[kObjectFilePathSize] = {};
    GetStackPlatformOps().readSavePreference("user", "SaveStackPath", folder, sizeof folder);
    std::string head;
    if (std::strcmp(folder, "Bad") == 0) {
        char stack[kFileSpecPathSize] = {};
        GetFileSpecPath(kSlotCurrentStack, sizeof stack, stack);
        const std::string_view path(stack);
        const size_t cut = path.rfind('\\');
        head = std::string(path.substr(0, cut == std::string_view::npos ? 0 : cut)) + "\\";
    } else {
        head = folder;
    }
    if (!JoinPath(out, size, head, name, {}, extension))
        return 0;
    for (int n = 1; FileExists(out); ++n) {
        if (n > kMaxNumberedNames || !JoinPath(out, size, head, name, std::to_string(n), extension))
            return 0;
    }
    return 1;
}

int WriteObjectToFile(std::span<const uint8_t> record, uint16_t kind, char* out, size_t size, bool mediaLib) {
    if (record.empty() || !out || size == 0)
        return 0;
    const std::string name = ObjectFileBaseName(record, kind);
    const char* extension = ObjectFileExtension(kind);
    if (mediaLib)
        return MakeUniqueMediaLibPath(out, name.c_str(), extension, size);
    return MakeUniqueSavePath(out, size, name.c_str(), extension);
}

bool WriteObjectFileHeader(FileRef file, const ObjectDragBlock& drag) {
    std::array<uint8_t, kObjectFileHeaderBytes> header{};
    if (!BuildObjectFileHeader(drag.kind, header))
        return false;
    int32_t count = kObjectFileHeaderBytes;
    return FileWrite(file, &count, header.data()) == kFileOk && count == static_cast<int32_t>(kObjectFileHeaderBytes);
}

bool CopyDraggedRecord(const ObjectDragBlock& drag, std::vector<uint8_t>* record) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(drag.kind, drag.id, &card, &offset))
        return false;
    ScopedHandle copy(CopyObjectRecord(card, offset));
    *record = HandleToBytes(copy.get());
    return true;
}

bool BuildObjectFileBody(const ObjectDragBlock& drag, std::vector<uint8_t>& body) {
    body.clear();
    if (ObjectFileKindCode(drag.kind) == 0)
        return false;
    std::vector<uint8_t> record;
    if (!CopyDraggedRecord(drag, &record))
        return false;
    char stackPath[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof stackPath, stackPath);
    StackConversion cv = SaveConversion(stackPath);
    if (record.empty() || !AppendRecord(record, drag.kind, cv, body))
        return false;
    Handle chain = 0;
    bool ok = true;
    {
        const StackResFileCurrent current;
        if (drag.kind == kObjectButton) {
            ok = GatherObjectFileResources(drag.kind, drag.id, &chain) == 0;
        } else if (drag.actionId != 0 && GetResource(kActn, drag.actionId)) {
            ok = HoldObjectResourceCopy(kActn, drag.actionId, &chain, kResRequestCopyData, drag.kind, drag.id) == 0;
            if (ok) {
                HeldResource held{};
                {
                    HandleLock lock(chain);
                    std::memcpy(&held, lock.get(), sizeof held);
                }
                ok = GatherActionFileResources(held.request.data, &chain) == 0;
            }
        }
    }
    ok = ok && AppendEntries(chain, cv, body);
    FreeResourceEntryChain(&chain, true);
    if (!ok)
        body.clear();
    return ok;
}

bool WriteObjectFileBody(FileRef file, const ObjectDragBlock& drag) {
    std::vector<uint8_t> body;
    if (!BuildObjectFileBody(drag, body))
        return false;
    const auto size = static_cast<int32_t>(body.size());
    int32_t count = size;
    return FileWrite(file, &count, body.data()) == kFileOk && count == size;
}

int WriteObjectFile(const ObjectDragBlock& drag, const char* path) {
    if (!path || !path[0])
        return 0;
    // Written whole beside, then put in place: never a part of a file, nor one cut.
    FileReplacement replacement(path);
    if (replacement.failure() != ReplaceFailure::None)
        return 0;
    if (!WriteObjectFileHeader(replacement.file(), drag) || !WriteObjectFileBody(replacement.file(), drag))
        replacement.WriteFailed();
    return replacement.Commit() == kFileOk ? 1 : 0;
}

const char* ParseObjectFile(std::span<const uint8_t> file, ObjectFileLayout& layout) {
    layout = ObjectFileLayout{};
    ByteReader r(file);
    if (r.U32BE() != ResType("LMPK"))
        return "no magic";
    layout.kindCode = r.U32BE();
    layout.version = r.U32BE();
    const std::span<const uint8_t> reserved = r.Bytes(20);
    if (!r.ok())
        return "header short";
    uint16_t expected = 0;
    for (uint16_t kind : {kObjectGraphic, kObjectButton, kObjectText})
        if (ObjectFileKindCode(kind) == layout.kindCode)
            expected = kind;
    if (expected == 0)
        return "unknown kind code";
    if (std::any_of(reserved.begin(), reserved.end(), [](uint8_t b) { return b != 0; }))
        return "reserved bytes set";
    ByteReader record(file, kObjectFileHeaderBytes);
    layout.kind = record.U16BE();
    record.Skip(kObjectLength - 2);
    layout.recordLength = record.U32BE();
    if (!record.ok() || layout.kind != expected)
        return "record kind";
    if (layout.recordLength < kObjectCommonBytes || layout.recordLength > file.size() - kObjectFileHeaderBytes)
        return "record length";
    uint64_t at = uint64_t{kObjectFileHeaderBytes} + layout.recordLength;
    const uint16_t flags = static_cast<uint16_t>(file[kObjectFileHeaderBytes + kObjectFlags] << 8 |
                                                 file[kObjectFileHeaderBytes + kObjectFlags + 1]);
    if (layout.kind == kObjectGraphic && !(flags & kObjectHasPath)) {
        const uint32_t entries = MacColorTableCount(file.subspan(static_cast<size_t>(at)));
        if (entries == 0 || entries > kMaxColorTableEntries)
            return "colour table";
        layout.colorTableOffset = static_cast<uint32_t>(at);
        layout.colorTableBytes = 8 + 8 * entries;
        at += layout.colorTableBytes;
    }
    while (at < file.size()) {
        if (layout.entries.size() >= kMaxObjectFileEntries)
            return "too many entries";
        ByteReader e(file, static_cast<size_t>(at));
        ObjectFileEntry entry;
        entry.type = e.U32BE();
        entry.id = e.U16BE();
        entry.attributes = e.U16BE();
        entry.length = e.U32BE();
        e.Skip(2);
        const std::span<const uint8_t> name = e.Bytes(kResNameBytes);
        e.Skip(2);
        entry.ownerKind = e.U16BE();
        entry.ownerId = e.U16BE();
        entry.continuation = e.U32BE();
        if (!e.ok())
            return "entry header short";
        const size_t nameLength = std::min<size_t>(name[0], kResNameBytes - 1);
        entry.name.assign(reinterpret_cast<const char*>(name.data() + 1), nameLength);
        entry.dataOffset = static_cast<uint32_t>(at + kObjectFileEntryBytes);
        if (entry.length > file.size() - entry.dataOffset)
            return "entry data past the end";
        at = uint64_t{entry.dataOffset} + entry.length;
        layout.entries.push_back(entry);
        if (entry.continuation == 0)
            break;
    }
    if (at != file.size())
        return "bytes after the last entry";
    if (!layout.entries.empty() && layout.entries.back().continuation != 0)
        return "last entry continues";
    return nullptr;
}
