// String runs and the LoomLogo vocabulary: arrays of heap strings loaded from consecutive
// string ids, the unescaping pass over them, and the release of the whole vocabulary.
//
// Loading needs the module's string table and lives in core/ui/Resources.h (`LoadStringRun`,
// `DupResString`); everything here is platform-free. Vocabulary strings are allocated with
// std::malloc and released with std::free. The length-prefixed unescaping pass is
// `UnescapePStrings` in core/text/PStrings.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Rewrites each NUL-terminated string in place: backslash r -> 13, backslash n -> 10,
// backslash x -> x; a backslash that ends the text ends the result. Null entries are skipped.
void UnescapeCStrings(char* const* strings, int count);

// The vocabulary's string runs, in the order the LoomLogo environment loads them.
inline constexpr std::array<int, 20> kVocabularyRunSizes = {
    12, 12, 7, 24, 100, 40, 9, 8, 4, 3, 5, 3, 5, 2, 26, 26, 26, 26, 18, 18};
inline constexpr int kVocabularyRunCount = static_cast<int>(kVocabularyRunSizes.size());

// The storage of run `index` (kVocabularyRunSizes[index] pointers, null when not loaded), or
// null for an index out of range. The LoomLogo environment fills it with `LoadStringRun`.
char** GetVocabularyRun(int index);

// Strings and tables that the LoomLogo environment keeps elsewhere and that FreeAllStrings
// releases with the runs. A single string is the address of its pointer. A name table is an
// array of `recordCount` records of `recordSize` bytes whose first field is a `char*` name.
void RegisterVocabularyString(char** slot);
void RegisterVocabularyNameTable(void* records, size_t recordSize, size_t recordCount);

// Whether the vocabulary has been loaded (set by the LoomLogo environment after loading).
bool IsVocabularyLoaded();
void SetVocabularyLoaded(bool loaded);

// Releases the whole vocabulary: clears the loaded flag, frees every registered single string,
// every run element and every name of the registered tables, and sets each pointer to null.
// Registrations stay, so a later load may fill the same places again.
void FreeAllStrings();

// The user-interface language (a Windows language id; 0 until something sets it).
uint32_t GetLanguageId();
void SetLanguageId(uint32_t languageId);
bool IsHebrewLanguage();  // the language id is 1037
