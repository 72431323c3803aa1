// Handles: the master pointer is the first field of the block's record, so the handle is the
// record's address. A set of live records guards every use.
#include "quicktime/dll/QtStandInHandles.h"

#include <cstdlib>
#include <cstring>
#include <set>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/QtStandIn.h"

namespace {

struct Block {
    char* data;  // the master pointer: first, so that a handle is the block's address
    uint32_t size;
};
static_assert(offsetof(Block, data) == 0);

constexpr uint32_t kMaxStandInHandleSize = 256u << 20;
std::set<Block*> g_blocks;

Block* Live(QtHandle h) {
    auto* block = reinterpret_cast<Block*>(h);
    return g_blocks.count(block) ? block : nullptr;
}

intptr_t DoNewHandle(const QtWord* args) {
    return reinterpret_cast<intptr_t>(StandInNewHandle(static_cast<uint32_t>(args[0])));
}
intptr_t DoDisposeHandle(const QtWord* args) {
    StandInDisposeHandle(reinterpret_cast<QtHandle>(args[0]));
    return kQtNoErr;
}
intptr_t DoGetHandleSize(const QtWord* args) { return StandInHandleSize(reinterpret_cast<QtHandle>(args[0])); }
intptr_t DoSetHandleSize(const QtWord* args) {
    auto h = reinterpret_cast<QtHandle>(args[0]);
    if (!StandInIsHandle(h))
        return kQtNilHandleErr;
    return StandInSetHandleSize(h, static_cast<uint32_t>(args[1])) ? kQtNoErr : kQtMemFullErr;
}

constexpr StandInRow kHandleRows[] = {
    {kQtSelNewHandle, DoNewHandle},
    {kQtSelDisposeHandle, DoDisposeHandle},
    {kQtSelGetHandleSize, DoGetHandleSize},
    {kQtSelSetHandleSize, DoSetHandleSize},
    {kQtSelKillPicture, DoDisposeHandle},  // a picture is a handle holding a packed DIB
};

}  // namespace

std::span<const StandInRow> StandInHandleRows() { return kHandleRows; }

QtHandle StandInNewHandle(uint32_t size) {
    if (size > kMaxStandInHandleSize)
        return nullptr;
    char* data = static_cast<char*>(std::calloc(size ? size : 1, 1));
    if (!data)
        return nullptr;
    auto* block = new Block{data, size};
    g_blocks.insert(block);
    return &block->data;
}

QtHandle StandInNewHandleFrom(std::span<const uint8_t> bytes) {
    QtHandle h = StandInNewHandle(static_cast<uint32_t>(bytes.size()));
    if (h && !bytes.empty())
        std::memcpy(*h, bytes.data(), bytes.size());
    return h;
}

void StandInDisposeHandle(QtHandle h) {
    Block* block = Live(h);
    if (!block)
        return;
    g_blocks.erase(block);
    std::free(block->data);
    delete block;
}

bool StandInIsHandle(QtHandle h) { return Live(h) != nullptr; }

uint32_t StandInHandleSize(QtHandle h) {
    const Block* block = Live(h);
    return block ? block->size : 0;
}

bool StandInSetHandleSize(QtHandle h, uint32_t size) {
    Block* block = Live(h);
    if (!block || size > kMaxStandInHandleSize)
        return false;
    char* data = static_cast<char*>(std::realloc(block->data, size ? size : 1));
    if (!data)
        return false;
    if (size > block->size)
        std::memset(data + block->size, 0, size - block->size);
    block->data = data;
    block->size = size;
    return true;
}

std::span<uint8_t> StandInHandleBytes(QtHandle h) {
    Block* block = Live(h);
    if (!block)
        return {};
    return {reinterpret_cast<uint8_t*>(block->data), block->size};
}

int StandInLiveHandles() { return static_cast<int>(g_blocks.size()); }
