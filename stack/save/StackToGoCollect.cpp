// What a stack refers to: the stacks its actions link to and the movies, sounds, pictures,
// text files and modules its actions and objects name. Stacks are read from their files with
// the one stack reader, beside the open stack, which is never touched.
#include <algorithm>
#include <fstream>
#include <memory>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "stack/save/StackToGo.h"

namespace {

// Media kinds of the file locator.
constexpr int kLocatePicture = 10, kLocateStack = 11, kLocateMovie = 13, kLocateText = 14, kLocateSound = 26;
// Stack files larger than this are not read for references.
constexpr std::streamoff kMaxStackBytes = std::streamoff{256} << 20;

// NUL-terminated text at `offset` of the region, at most 259 characters, never past its end.
std::string PathAt(std::span<const uint8_t> region, size_t offset) {
    std::string path;
    for (size_t i = offset; i < region.size() && path.size() < kToGoPathMax && region[i]; ++i)
        path.push_back(static_cast<char>(region[i]));
    return path;
}

// The record as its length field (+12) gives it, cut to the region.
std::span<const uint8_t> RecordIn(std::span<const uint8_t> region) {
    if (region.size() < kObjectCommonBytes)
        return {};
    const uint32_t length = GetU32(region, kObjectLength);
    return length <= region.size() ? region.first(length) : region;
}

std::span<const uint8_t> FindTaggedChunk(std::span<const uint8_t> action, uint16_t tag) {
    ButtonChunkWalk walk(action);
    ObjectPlace place;
    while (walk.Next(place))
        if (place.kind == tag)
            return action.subspan(place.offset, place.length);
    return {};
}

int LocateKindOf(int kind, std::string_view path) {
    if (IsModulePath(path))
        return 0;  // modules are located by their extension
    switch (kind) {
    case kToGoMovie: return kLocateMovie;
    case kToGoSound: return kLocateSound;
    case kToGoText: return kLocateText;
    case kToGoPicture: return kLocatePicture;
    default: return kLocateStack;
    }
}

uint32_t TenthsOf(const StackToGoFileAccess& access, const std::string& path) {
    return access.fileSize ? SizeTenths(access.fileSize(path.c_str())) : 0;
}

bool Exists(const StackToGoFileAccess& access, const std::string& path) {
    return access.exists && access.exists(path.c_str());
}

void AddChildFile(StackToGoList& list, int parent, int kind, std::string path, const StackToGoFileAccess& access) {
    if (path.empty() || FindChildItem(list, parent, path) >= 0)
        return;
    if (!Exists(access, path)) {
        if (!access.locate || !access.locate(path, LocateKindOf(kind, path))) {
            AddChildItem(list, parent, kind, path, 0, kToGoMissing);
            return;
        }
        if (FindChildItem(list, parent, path) >= 0)
            return;
    }
    AddChildItem(list, parent, kind, path, TenthsOf(access, path), kToGoUnchecked);
}

void AddLinkedStack(StackToGoList& list, std::string path, const StackToGoFileAccess& access) {
    if (path.empty() || FindTopItem(list, path) >= 0)
        return;
    if (!Exists(access, path)) {
        if (!access.locate || !access.locate(path, kLocateStack)) {
            AddTopItem(list, path, 0, kToGoMissing);
            return;
        }
        if (FindTopItem(list, path) >= 0)
            return;
    }
    AddTopItem(list, path, TenthsOf(access, path), kToGoUnchecked);
}

// The data of a live entry; the lock keeps it readable while the caller looks.
std::span<const uint8_t> DataOf(const ResEntry& e, std::unique_ptr<HandleLock>& lock) {
    if ((e.attributes & kResDeleted) || e.raw || !e.data)
        return {};
    lock = std::make_unique<HandleLock>(e.data);
    if (!*lock)
        return {};
    return {lock->get(), GetHandleSize(e.data)};
}

bool CollectActionResource(StackToGoList& list, int parent, const std::vector<ResEntry>& entries, uint16_t id,
                           const StackToGoFileAccess& access) {
    if (id == 0)
        return true;
    for (const ResEntry& e : entries) {
        if (e.type != kActn || e.id != id)
            continue;
        std::unique_ptr<HandleLock> lock;
        const std::span<const uint8_t> data = DataOf(e, lock);
        if (!data.empty())
            return CollectActionFiles(list, parent, data, access);
    }
    return true;
}

}  // namespace

bool CollectActionFiles(StackToGoList& list, int parent, std::span<const uint8_t> action,
                        const StackToGoFileAccess& access) {
    action = RecordIn(action);
    if (action.size() < kButtonHeaderBytes)
        return true;
    const uint16_t flags = GetU16(action, kButtonActionFlags);
    if (flags & kActGoTo)
        if (auto chunk = FindTaggedChunk(action, kTagOtherStack); !chunk.empty())
            AddLinkedStack(list, PathAt(chunk, kChunkHeaderBytes), access);
    if (flags & kActMovie)
        if (auto chunk = FindTaggedChunk(action, kTagMovie); !chunk.empty())
            AddChildFile(list, parent, kToGoMovie, PathAt(chunk, kChunkHeaderBytes), access);
    if (flags & kActSoundFile)
        if (auto chunk = FindTaggedChunk(action, kTagSoundFile); !chunk.empty())
            AddChildFile(list, parent, kToGoSound, PathAt(chunk, kChunkHeaderBytes), access);
    if (flags & kActNba)
        if (auto chunk = FindTaggedChunk(action, kTagNba); !chunk.empty() && access.moduleName) {
            std::string name = access.moduleName(GetU16(chunk, kChunkValue));
            if (name.size() > 260)
                name.resize(260);
            if (!name.empty())
                AddChildFile(list, parent, kToGoModule, access.programFolder + "NBAS\\" + name, access);
        }
    return true;
}

bool CollectStackFiles(StackToGoList& list, int parent, const StackFileContents& stack,
                       const StackToGoFileAccess& access) {
    const std::vector<ResEntry> entries = stack.resFile ? CopyResEntries(stack.resFile) : std::vector<ResEntry>{};
    uint16_t stackActions[3] = {};
    {
        HandleLock lock(stack.header);
        if (lock && GetHandleSize(stack.header) >= kStackHeaderBytes) {
            const std::span<const uint8_t> h(lock.get(), kStackHeaderBytes);
            stackActions[0] = GetU16(h, kHeaderStackActionA);
            stackActions[1] = GetU16(h, kHeaderClosingAction);
            stackActions[2] = GetU16(h, kHeaderStackActionB);
        }
    }
    for (uint16_t id : stackActions)
        if (!CollectActionResource(list, parent, entries, id, access))
            return false;
    for (const ResEntry& e : entries) {
        if (e.type != kHlnk)
            continue;
        std::unique_ptr<HandleLock> lock;
        const std::span<const uint8_t> link = DataOf(e, lock);
        if (link.size() < kLinkText || !GetU16(link, kLinkHasButton))
            continue;
        const size_t at = size_t{kLinkText} + GetU16(link, kLinkTextLength) + GetU16(link, kLinkOtherLength);
        if (at < link.size() && !CollectActionFiles(list, parent, link.subspan(at), access))
            return false;
    }
    for (Handle card : stack.cards) {
        HandleLock lock(card);
        if (!lock)
            continue;
        const std::span<const uint8_t> c = lock.bytes();
        if (c.size() < kMinCardRecordBytes)
            continue;
        for (uint32_t field : {kCardAction1, kCardAction2, kCardAction3})
            if (!CollectActionResource(list, parent, entries, GetU16(c, field), access))
                return false;
        CardObjectWalk walk(c);
        ObjectPlace place;
        while (walk.Next(place)) {
            if (place.flags & kObjectDeletedFlag)
                continue;
            const std::span<const uint8_t> object = c.subspan(place.offset, place.length);
            uint16_t actionId = 0;
            if (place.kind == kObjectButton) {
                if (!CollectActionFiles(list, parent, object, access))
                    return false;
                continue;
            }
            if (place.kind == kObjectGraphic) {
                if (place.flags & kObjectHasPath)  // the path follows the header
                    AddChildFile(list, parent, kToGoPicture, PathAt(object, kGraphicHeaderBytes), access);
                actionId = GetU16(object, kGraphicAction);
            } else if (place.kind == kObjectText) {
                if (place.flags & kObjectHasPath)
                    AddChildFile(list, parent, kToGoText, PathAt(object, kTextPath), access);
                actionId = GetU16(object, kTextAction);
            }
            if (!CollectActionResource(list, parent, entries, actionId, access))
                return false;
        }
    }
    return true;
}

namespace {

std::vector<uint8_t> ReadStackBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxStackBytes)
        return {};
    in.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        return {};
    return bytes;
}

}  // namespace

bool CollectStackFile(StackToGoList& list, int parent, const std::string& path, const StackToGoFileAccess& access) {
    const std::vector<uint8_t> bytes = access.readFile ? access.readFile(path) : ReadStackBytes(path);
    if (bytes.empty() || bytes.size() > static_cast<size_t>(kMaxStackBytes))
        return true;
    StackConversion cv;
    if (path.size() >= 3 && path[1] == ':') {
        cv.stackDrive[0] = path[0];
        cv.stackDrive[1] = ':';
        cv.stackDrive[2] = '\\';
        cv.stackDrive[3] = 0;
    }
    SpanByteSource source(bytes);
    StackFileContents contents;
    if (!ReadStackFile(source, cv, contents).ok())
        return true;
    const bool ok = CollectStackFiles(list, parent, contents, access);
    DisposeStackFileContents(contents);
    return ok;
}

bool BuildStackToGoList(StackToGoList& list, const std::string& firstStack, const StackToGoFileAccess& access) {
    AddTopItem(list, firstStack, TenthsOf(access, firstStack), Exists(access, firstStack) ? kToGoUnchecked : kToGoMissing);
    // Stacks found on the way are appended and walked in turn.
    for (size_t i = 0; i < list.items.size(); ++i) {
        if (list.items[i].parent >= 0 || list.items[i].state == kToGoMissing)
            continue;
        const std::string path = list.items[i].path;
        if (!CollectStackFile(list, static_cast<int>(i), path, access))
            return false;
    }
    return true;
}

std::vector<std::string> NamedFilesNotBeside(const std::string& stackPath, const StackToGoFileAccess& access) {
    // Every file the stack names is listed as it is remembered (nothing is looked for), then
    // looked for by its name in the stack's folder.
    StackToGoFileAccess remembered = access;
    remembered.exists = nullptr;
    remembered.locate = nullptr;
    remembered.moduleName = nullptr;  // modules lie with the program, not beside stacks
    StackToGoList list;
    AddTopItem(list, stackPath, 0, kToGoUnchecked);
    CollectStackFile(list, 0, stackPath, remembered);
    const size_t cut = stackPath.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : stackPath.substr(0, cut + 1);
    std::vector<std::string> names;
    for (size_t i = 1; i < list.items.size(); ++i) {
        const std::string name(PathFileName(list.items[i].path));
        if (name.empty() || Exists(access, folder + name))
            continue;
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SamePathText(n, name); }))
            names.push_back(name);
    }
    return names;
}
