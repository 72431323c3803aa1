// The layer records: one ObjectLayer block per visible object of the current card, linked in
// drawing order (the head lies at the back). The kinds themselves (how a button, text field or
// graphic object reads its record, is drawn, highlighted or edited) live in objects/, above this
// layer; the layer code reaches them through their procedure table (LayerKindProcs). The card's
// cursor and picture files come through LayerListUpcalls. host/wiring/WireGraphics_win.cpp fills
// both.
//
//   ObjectLayer_win.cpp   the constructors, freeing a layer, a graphic's picture file, the procs
//   LayerList_win.cpp     list order, hit test, drawing, clip region and mask (LayerList.h)
//   CardView.cpp          the card window's view: tool, zoom, objects and hidden objects shown
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "core/ui/ToolNumbers.h"
#include "layers/CardView.h"
#include "format/StackFile.h"

// A layer block: a movable, zero-filled global memory block.
using LayerHandle = HGLOBAL;

inline constexpr int kLayerAtEnd = 65535;
// A walk of the list gives up after this many layers: a damaged list has no end.
inline constexpr int kMaxLayerWalk = 9999;

// The common part, first in every kind.
struct ObjectLayer {
    LayerHandle next;  // 0 at the end of the list
    uint16_t kind;     // the record's: kObjectGraphic, kObjectButton or kObjectText
    uint16_t id;
    HRGN region;  // the object's shape, card-window coordinates
    RECT bounds;
};

struct GraphicLayer {
    ObjectLayer common;
    HBITMAP picture;
    HBITMAP mask;     // one-bit shape mask; null when the object has none
    HBITMAP outline;  // of the mask, frame width wide; null when none
    uint16_t maskWidth;
    uint16_t maskHeight;
    uint16_t colorIndex;  // the record's colour value minus 1
    uint16_t frameWidth;
    uint16_t objectWord;  // copied for the object code
    uint16_t cursorId;
    uint16_t transparency;  // percent
};

struct ButtonLayer {
    ObjectLayer common;
    int16_t shape;  // 0-3 region shapes, 4 invisible rectangle, 5-7 freehand with a mask
    uint16_t colorIndex;
    uint16_t secondColorIndex;
    uint16_t styleHas8;   // 1 when the style byte has 8
    uint16_t styleLacks4; // 1 when the style byte lacks 4
    uint16_t flags;       // the record's flag word
    int32_t showIcon;
    Handle icon;             // icon data; 0 when no icon is shown
    HBITMAP freehandMask;    // shapes 5-7 only
    HBITMAP freehandOutline;
    uint16_t cursorId;
    LOGFONTA font;
    uint8_t nameLength;
    char name[33];
    // Non-zero while the button's copy is open in the button dialog or being placed: the card
    // does not draw it then.
    uint32_t beingEdited;
};

struct FieldLayer {
    ObjectLayer common;
    uint16_t colorIndex;   // background: the stored colour index minus one
    uint16_t textColor;    // nearest palette index of the first character's colour
    int16_t alignment;     // 0 left, 1 centre, -1 right
    uint16_t options;      // TextOptions: scroll bar, read-only, frame, not scrollable
    uint16_t objectFlags;  // the record's flags: hidden, disk based, transparent
    uint16_t actionId;     // the object's 'Actn' resource
    HWND window;  // the field's text window, made by the object code
    int32_t modified;
    uint16_t cursorId;
};

// A locked layer block, unlocked at the end of the scope.
template <class T = ObjectLayer>
class LayerLock {
public:
    explicit LayerLock(LayerHandle layer) : layer_(layer), p_(layer ? static_cast<T*>(GlobalLock(layer)) : nullptr) {}
    ~LayerLock() {
        if (p_)
            GlobalUnlock(layer_);
    }
    LayerLock(const LayerLock&) = delete;
    LayerLock& operator=(const LayerLock&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    LayerHandle layer_;
    T* p_;
};

// What a graphic record holds beside the fields it reads into its layer.
struct GraphicRecordParts {
    bool pictureInFile = false;              // style flag 64
    std::span<const uint8_t> packedMask;     // a PackedMask block; empty when none
};
struct ButtonRecordParts {
    std::span<const uint8_t> packedMask;     // the freehand mask chunk (tag 130); empty when none
};

// The object kinds' procedures (objects/). Readers fill the common part and the kind fields of
// a zeroed layer and refuse a record that is not one their kind makes a layer of.
struct LayerKindProcs {
    bool (*readGraphic)(std::span<const uint8_t> record, GraphicLayer* layer, GraphicRecordParts* parts);
    bool (*readButton)(std::span<const uint8_t> record, ButtonLayer* layer, ButtonRecordParts* parts);
    bool (*readField)(std::span<const uint8_t> record, FieldLayer* layer);
    // The picture file of a graphic record: its name and the rectangle to cut from it.
    bool (*graphicPictureFile)(std::span<const uint8_t> record, char* name, size_t size, RECT* crop);
    HRGN (*makeButtonRegion)(HWND window, const ButtonLayer* layer);
    // Makes the field's text window; reads the layer under construction.
    void (*initFieldWindow)(std::span<const uint8_t> record, LayerHandle layer, int value);
    void (*destroyFieldWindow)(FieldLayer* layer);
    void (*drawGraphic)(HDC dc, const GraphicLayer* layer);
    void (*drawButton)(HDC dc, const ButtonLayer* layer, HWND window);
    void (*drawField)(HDC dc, LayerHandle layer);
    // The footprints in the layer mask, drawn with the selected pen and brush.
    void (*drawGraphicMask)(HDC dc, const GraphicLayer* layer);
    void (*drawButtonShape)(HDC dc, const ButtonLayer* layer);
    // Inverting: a second call restores the screen.
    void (*drawButtonHilite)(const ButtonLayer* layer, HDC dc);
    void (*invalidateButtonContent)(HWND window, const ButtonLayer* layer, const RECT& rect);
    // Writes every modified field back into the current card's records.
    void (*saveFieldContents)();
};

// What the layer list asks of the layers above besides the kinds: a picture file. (The card
// window's view is layers/CardView.h.)
struct LayerListUpcalls {
    // A picture file as a bitmap (and its palette, the caller's to delete).
    HBITMAP (*loadPictureFile)(const char* path, HPALETTE* palette);
};

// ---- ObjectLayer_win.cpp ----
// The wiring fills these from the object kinds above this layer. A null member falls back to
// doing nothing (a layer list built before the wiring, as some tests make one): no kind reads
// a record, nothing is drawn; no actions; loadPictureFile has no default.
void SetLayerKindProcs(const LayerKindProcs& procs);
const LayerKindProcs& GetLayerKindProcs();
void SetLayerListUpcalls(const LayerListUpcalls& upcalls);
const LayerListUpcalls& GetLayerListUpcalls();

// The text field being edited (0: none); the object code sets it, freeing the list clears it.
LayerHandle GetActiveTextField();
void SetActiveTextField(LayerHandle field);

// Whether a new layer rebuilds the layer mask and clip region at once, or leaves it to its
// caller, which makes many layers and rebuilds them once after the last (CreateClipRegion).
enum class ClipRemake { kNow, kByCaller };
// Make a layer from an object record, link it at the position (see InsertLayerAt) and rebuild
// the clip region; 0 when the record is refused or the block cannot be had.
LayerHandle NewGraphicLayer(std::span<const uint8_t> record, int position, ClipRemake clip = ClipRemake::kNow);
LayerHandle NewButtonLayer(std::span<const uint8_t> record, int position, ClipRemake clip = ClipRemake::kNow);
LayerHandle NewFieldLayer(std::span<const uint8_t> record, int position, int value,
                          ClipRemake clip = ClipRemake::kNow);
// NewFieldLayer's value that shows the field's text window (0 makes it hidden).
inline constexpr int kFieldWindowShown = 1;
// The layer a constructor is filling while the field window is made or the picture file looked
// for; 0 otherwise.
LayerHandle GetLayerUnderConstruction();
// Deletes the region, bitmaps, icon data or field window of a locked layer (not the block).
void FreeLayerResources(ObjectLayer* layer);
// The bitmap cut from a graphic record's picture file; 0 when not found or not loaded.
HBITMAP LoadLayerPictureFromFile(HWND window, std::span<const uint8_t> record);
// The cursor of the layer's cursor id; 0 when none.
HCURSOR LayerCursorAt(LayerHandle layer);
