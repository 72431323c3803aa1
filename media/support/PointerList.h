// A doubly linked list of pointers whose nodes come from blocks, as the media manager keeps its
// movies and sounds. A block holds `nodesPerBlock` nodes and one link word to the next block;
// a new one is taken only when no free node is left, and when the last node goes the whole list
// is reset and every block freed.
#pragma once

#include <cstdint>

struct PointerNode {
    PointerNode* next;
    PointerNode* previous;
    void* data;
};

struct PointerList {
    PointerNode* head = nullptr;
    PointerNode* tail = nullptr;
    int32_t count = 0;
    PointerNode* freeNodes = nullptr;
    void* blocks = nullptr;  // each block starts with the link to the next
    int32_t nodesPerBlock = 10;
};

// An empty list (any blocks are freed first when `list` held some).
void PointerListInit(PointerList* list, int32_t nodesPerBlock);
// Links `data` at the tail; null (nothing changed) when no block could be had.
PointerNode* PointerListAppend(PointerList* list, void* data);
// Unlinks a node of this list; the last one out resets the list and frees every block.
void PointerListRemove(PointerList* list, PointerNode* node);
// The first node holding `data`, or null.
PointerNode* PointerListFind(const PointerList& list, const void* data);
// Empty again, every block freed; the elements themselves are the caller's.
void PointerListReset(PointerList* list);
int32_t PointerListBlockCount(const PointerList& list);

// Calls f(node) for each node from the head; the next node is taken before f runs, so f may
// remove the node it is given.
template <class F>
void ForEachPointerNode(const PointerList& list, F f) {
    for (PointerNode *node = list.head, *next = nullptr; node; node = next) {
        next = node->next;
        f(node);
    }
}
