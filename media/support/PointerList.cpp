#include "media/support/PointerList.h"

#include <cstdlib>

namespace {

// The block's link word, then its nodes.
struct BlockHead {
    BlockHead* next;
};

bool AddBlock(PointerList* list) {
    const int32_t nodes = list->nodesPerBlock > 0 ? list->nodesPerBlock : 1;
    auto* block = static_cast<BlockHead*>(std::calloc(1, sizeof(BlockHead) + sizeof(PointerNode) * static_cast<size_t>(nodes)));
    if (!block)
        return false;
    block->next = static_cast<BlockHead*>(list->blocks);
    list->blocks = block;
    auto* node = reinterpret_cast<PointerNode*>(block + 1);
    for (int32_t i = 0; i < nodes; ++i, ++node) {
        node->next = list->freeNodes;
        list->freeNodes = node;
    }
    return true;
}

}  // namespace

void PointerListInit(PointerList* list, int32_t nodesPerBlock) {
    PointerListReset(list);
    list->nodesPerBlock = nodesPerBlock;
}

PointerNode* PointerListAppend(PointerList* list, void* data) {
    if (!list->freeNodes && !AddBlock(list))
        return nullptr;
    PointerNode* node = list->freeNodes;
    list->freeNodes = node->next;
    node->next = nullptr;
    node->previous = list->tail;
    node->data = data;
    if (list->tail)
        list->tail->next = node;
    else
        list->head = node;
    list->tail = node;
    ++list->count;
    return node;
}

void PointerListRemove(PointerList* list, PointerNode* node) {
    if (!node || list->count <= 0)
        return;
    if (node->previous)
        node->previous->next = node->next;
    else
        list->head = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        list->tail = node->previous;
    node->previous = nullptr;
    node->data = nullptr;
    node->next = list->freeNodes;
    list->freeNodes = node;
    if (--list->count == 0)
        PointerListReset(list);
}

PointerNode* PointerListFind(const PointerList& list, const void* data) {
    for (PointerNode* node = list.head; node; node = node->next) {
        if (node->data == data)
            return node;
    }
    return nullptr;
}

void PointerListReset(PointerList* list) {
    auto* block = static_cast<BlockHead*>(list->blocks);
    while (block) {
        BlockHead* next = block->next;
        std::free(block);
        block = next;
    }
    list->blocks = nullptr;
    list->head = nullptr;
    list->tail = nullptr;
    list->freeNodes = nullptr;
    list->count = 0;
}

int32_t PointerListBlockCount(const PointerList& list) {
    int32_t n = 0;
    for (auto* block = static_cast<const BlockHead*>(list.blocks); block; block = block->next)
        ++n;
    return n;
}
