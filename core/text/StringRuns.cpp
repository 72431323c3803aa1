// The unescaping pass of string runs and the bookkeeping of the LoomLogo vocabulary.
#include "core/text/StringRuns.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/text/PStrings.h"

namespace {

constexpr int TotalRunSlots() {
    int total = 0;
    for (int size : kVocabularyRunSizes)
        total += size;
    return total;
}

struct NameTable {
    void* records;
    size_t recordSize;
    size_t recordCount;
};

// All runs share one array; run i starts after the runs before it.
char* g_runSlots[TotalRunSlots()] = {};
std::vector<char**> g_singleStrings;
std::vector<NameTable> g_nameTables;
bool g_vocabularyLoaded = false;
uint32_t g_languageId = 0;

constexpr uint32_t kHebrewLanguage = 1037;

void FreeAndClear(char** slot) {
    std::free(*slot);
    *slot = nullptr;
}

}  // namespace

void UnescapeCStrings(char* const* strings, int count) {
    if (!strings)
        return;
    for (int i = 0; i < count; ++i) {
        if (char* s = strings[i])
            s[UnescapeText(reinterpret_cast<uint8_t*>(s), std::strlen(s))] = 0;
    }
}

char** GetVocabularyRun(int index) {
    if (index < 0 || index >= kVocabularyRunCount)
        return nullptr;
    int start = 0;
    for (int i = 0; i < index; ++i)
        start += kVocabularyRunSizes[static_cast<size_t>(i)];
    return g_runSlots + start;
}

void RegisterVocabularyString(char** slot) {
    if (!slot)
        return;
    for (char** known : g_singleStrings) {
        if (known == slot)
            return;
    }
    g_singleStrings.push_back(slot);
}

void RegisterVocabularyNameTable(void* records, size_t recordSize, size_t recordCount) {
    if (!records || recordSize < sizeof(char*))
        return;
    for (const NameTable& known : g_nameTables) {
        if (known.records == records)
            return;
    }
    g_nameTables.push_back({records, recordSize, recordCount});
}

bool IsVocabularyLoaded() { return g_vocabularyLoaded; }
void SetVocabularyLoaded(bool loaded) { g_vocabularyLoaded = loaded; }

void FreeAllStrings() {
    g_vocabularyLoaded = false;
    for (char** slot : g_singleStrings)
        FreeAndClear(slot);
    for (char*& s : g_runSlots)
        FreeAndClear(&s);
    // The name is the first field of each record; records need not be pointer-aligned.
    for (const NameTable& table : g_nameTables) {
        auto* bytes = static_cast<unsigned char*>(table.records);
        for (size_t i = 0; i < table.recordCount; ++i) {
            unsigned char* field = bytes + i * table.recordSize;
            char* name = nullptr;
            std::memcpy(&name, field, sizeof name);
            std::free(name);
            name = nullptr;
            std::memcpy(field, &name, sizeof name);
        }
    }
}

uint32_t GetLanguageId() { return g_languageId; }
void SetLanguageId(uint32_t languageId) { g_languageId = languageId; }
bool IsHebrewLanguage() { return g_languageId == kHebrewLanguage; }
