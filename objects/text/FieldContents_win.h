// Field contents: the text entries of a text object record into its field window and back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/memory/Handles.h"
#include "layers/LayerList.h"
#include "stack/cards/FieldText.h"

inline constexpr uint32_t kAlertEditedTextLost = 2238;
inline constexpr uint32_t kStringFindTextFile = 2416;

// Whether the open stack keeps its texts in Mac Roman.
bool StackTextIsMac();
// Each run over its characters, the last one also for what is typed later; count 0 applies none.
void ApplyStyleRuns(HWND window, std::span<const StyleRun> runs, int32_t textLength);
void LoadFieldTextFromRecord(HWND window, std::span<const uint8_t> record, uint16_t cardId);
// A disk-based field's file (the stored path, or the one given) with the record's style block.
void LoadDiskBasedFieldText(HWND window, std::span<const uint8_t> record, const char* path);
// The runs of equal character formats from character 0 (only the first when asked), as a scrap.
std::vector<uint8_t> CollectStyleScrap(HWND window, bool firstRunOnly);
// The window's text and runs into the object's entry for the card. 0, or -1 (alert 2238 when
// the record could not take them).
int SaveFieldTextAndStyles(uint16_t textId, HWND window, Handle card, uint16_t cardId);
void SaveDiskFieldStyle(uint16_t textId, HWND window, Handle card);
// Alignment of every field with a layer into the card's (and its background record's) objects,
// and the text of modified fields into this card's entries. Whether the card has a background
// record of its own.
bool SaveFieldContents(Handle card);
void SaveCurrentFieldContents();
// Appends the record of a newly placed text object, made from its layer and window, to the
// current card (a background object to the card's background record when it has one); a
// disk-based object names the text file at diskFile. 0, or -1.
int NewTextObjectRecord(LayerHandle layer, std::string_view name, const char* diskFile);
