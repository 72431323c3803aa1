// The test-stack builder: writes stack files from a compact description, for tests, tools and
// fuzz seeds. It writes the file format directly (big-endian fields, Mac-order rectangles,
// length-prefixed texts as given) and uses none of the plug-in's own conversion code, so what
// the reader makes of its files is an independent check. Only pictures go through the plug-in's
// packer, so that they are stored exactly as the program stores them.
//
//   stackbuilder::Stack s;                       // header defaults of a new stack
//   s.cards.push_back(stackbuilder::PictureCard(1, stackbuilder::GradientPicture(64, 48, 8)));
//   s.cards[0].objects.push_back(stackbuilder::Button(1, {10, 10, 90, 30}, "OK"));
//   s.resources.push_back({"Actn", 128, "", 0, 0, stackbuilder::ActionRecord(button)});
//   std::vector<uint8_t> bytes = stackbuilder::BuildStack(s).bytes;
//
// Pictures are packed as the plug-in packs them, with its own packer (stack/pictures/PackedPicture.h):
// lead and trail runs and an LZRW1-compressed middle. A picture can ask for the middle as a
// stored copy (flag byte 1) instead, the other form readers must take; the runs are then found
// by the builder itself. Packing needs the handle table: the builder sets one up for the call
// when there is none. A picture card takes its picture's size.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace stackbuilder {

struct Rect {
    int16_t left = 0, top = 0, right = 0, bottom = 0;
};
struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
};
// A numeric field at a byte offset of a record, written big-endian.
struct Word {
    uint16_t offset = 0;
    uint16_t value = 0;
};
struct Long {
    uint16_t offset = 0;
    uint32_t value = 0;
};

// How the middle of a packed picture is written.
enum class PictureStream { Compressed, StoredCopy };

struct Picture {
    int width = 0, height = 0;
    int depth = 8;                  // 1, 4, 8, 16 or 32
    // width x height, top row first: a colour index (1, 4, 8 bits), a 5-5-5 value (16 bits) or
    // 0x00RRGGBB (32 bits).
    std::vector<uint32_t> pixels;
    std::vector<Rgb> palette;       // colour table entries; missing ones are a grey ramp
    bool macColors = false;         // components written as full 16-bit values (c x 257)
    uint16_t format = 2;            // picture format word
    PictureStream stream = PictureStream::Compressed;
    std::optional<std::vector<uint8_t>> rawData;        // data after the colour table, as is
    std::optional<std::vector<uint8_t>> rawColorTable;  // the colour table, as is
};

struct Chunk {
    uint16_t kind = 0;
    uint16_t id = 0;
    Rect rect;
    uint16_t flags = 0;             // 0x200 is set by the builder when it pads
    std::vector<Word> words;        // fields in +16..+31 (and +32.. when no payload says so)
    std::vector<Long> longs;
    std::vector<uint8_t> payload;   // from +32
};

struct TextSubRecord {
    uint16_t word0 = 0, word2 = 0;
    uint32_t long4 = 0;
    std::vector<uint8_t> path;      // counted by the header's +8
    std::vector<uint8_t> body;
};

struct Object {
    uint16_t kind = 48;
    uint16_t id = 0;
    Rect rect;
    uint16_t flags = 0;             // 0x200 is set by the builder when it pads
    std::string name;               // stored bytes, length-prefixed
    std::vector<Word> words;        // kind-specific header fields
    std::vector<Long> longs;
    std::vector<Chunk> chunks;      // buttons
    std::vector<TextSubRecord> subRecords;  // text objects
    std::vector<uint8_t> data;      // graphics: bytes from +80 (picture, or a path with 0x40)
    // graphics: a PackedMask in file order (PackedMaskBlock); written after the data padded to
    // even, with +60 its length and +28 flag 2, the record padded after it.
    std::vector<uint8_t> mask;
    // graphics, older files: a bare 8-byte mask header (+60 = 8) without +28 flag 2
    bool trailer = false;
    uint16_t trailerWidth = 0, trailerHeight = 0;
    std::vector<uint8_t> extra;     // other kinds: bytes after the common header
};

struct Card {
    uint16_t id = 1;
    int kind = -1;                  // -1: 1 with a picture, else 0
    uint16_t background = 0;
    uint16_t flags = 0;
    uint16_t menuBar = 0;
    uint16_t depth = 0, width = 0, height = 0;  // 0: the stack's
    std::string name;               // stored as is (at most 15 bytes)
    std::array<uint16_t, 3> actions{};
    uint16_t cursor = 0;
    uint16_t word56 = 0;
    std::optional<Picture> picture;
    std::vector<Object> objects;
};

struct Resource {
    std::string type;               // four characters
    uint16_t id = 0;
    std::string name;
    uint32_t attributes = 0;        // bit 31: deleted
    uint16_t word6 = 0;
    std::vector<uint8_t> data;      // in file order
};

struct Stack {
    uint16_t autoSave = 0, experiencedUser = 0, word6 = 0, version = 5;
    uint16_t nextCardId = 0;        // 0: one above the highest card id
    uint16_t nextObjectId = 1, flags = 0, depth = 8, word18 = 0, timersAndLinks = 1;
    uint16_t word22 = 0, locked = 0, cardNumberInTitle = 0;
    std::string password;
    uint16_t presentationMode = 0, presentation50 = 0, word52 = 0, presentation54 = 0;
    uint16_t cardWidth = 512, cardHeight = 384;
    uint32_t nextResourceId = 1;
    uint16_t stackActionA = 0, closingAction = 0, cursorId = 0, stackActionB = 0;
    std::vector<Word> headerWords;  // written last, over everything (damaged headers)
    std::vector<Long> headerLongs;
    std::vector<Card> cards;
    std::vector<Resource> resources;
};

struct Built {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> cardOffsets;
    std::vector<std::vector<uint32_t>> objectOffsets;  // per card, file offsets
    std::vector<uint32_t> resourceOffsets;
};

// Records in file order.
Built BuildStack(const Stack& stack);
std::vector<uint8_t> BuildCardRecord(const Card& card, const Stack& stack,
                                     std::vector<uint32_t>* objectOffsets = nullptr);
std::vector<uint8_t> BuildObjectRecord(const Object& object);
std::vector<uint8_t> BuildChunk(const Chunk& chunk);
std::vector<uint8_t> BuildPictureBlock(const Picture& picture);

// Pictures.
uint32_t MacRowBytes(int width, int depth);
std::vector<uint8_t> MacRows(const Picture& picture);
// Rows to a PackedPicture in file order (run counts big-endian): lead and trail runs of one
// 32-bit value and the middle as LZRW1, compressed by the plug-in's packer or as a stored copy.
// The one place that decides how builder pictures are packed. Throws std::runtime_error when
// the plug-in's packer fails (no memory).
std::vector<uint8_t> PackPictureRows(std::span<const uint8_t> rows,
                                     PictureStream stream = PictureStream::Compressed);
std::vector<uint8_t> MacColorTable(const Picture& picture);
Picture GradientPicture(int width, int height, int depth);
Picture SolidPicture(int width, int height, int depth, uint32_t pixel);

// Objects and action records.
Object Button(uint16_t id, Rect rect, std::string name);
Object TextField(uint16_t id, Rect rect, std::string name, std::string text);
// A graphic object of depth 8 without picture data, with a mask (all white) of its bounds' size.
Object Graphic(uint16_t id, Rect rect, std::string name);
// 16- and 32-bit pixels of a Picture: 5-5-5 and 0x00RRGGBB.
constexpr uint32_t Pixel16(Rgb c) {
    return static_cast<uint32_t>(c.red >> 3 << 10 | c.green >> 3 << 5 | c.blue >> 3);
}
constexpr uint32_t Pixel32(Rgb c) { return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue; }
// How a graphic's picture rows are stored: Mac rows as they are, or one LZRW1 row record per
// row (+28 flag 16), compressed by the plug-in's coder or as stored copies (flag byte 1).
enum class GraphicRows { Raw, Packed, PackedStored };
// The rows of a picture (4, 8, 16 or 32 bits) as a graphic's picture data, padded to even.
std::vector<uint8_t> GraphicPictureData(const Picture& picture, GraphicRows rows = GraphicRows::Packed);
// Gives a graphic its picture: the data, +30 (0, 0, width, height), +54 the depth, +28 flag 16
// for packed rows (flag 2 is added for a mask). The mask stays as it is.
void SetGraphicPicture(Object& graphic, const Picture& picture, GraphicRows rows = GraphicRows::Packed);
// Makes a graphic disk based (flag 64): the picture is the rectangle crop of the file at path.
// A path with a drive ("C:\\...") is stored NUL-terminated and padded to even, any other as a
// length-prefixed Mac path ("Disk:folder:pic.bmp") that the reader rewrites.
void SetGraphicFile(Object& graphic, std::string_view path, Rect crop);
// A style run of a text entry from its first character: a number of the stack's font table,
// face bits (1 bold, 2 italic, 4 underline), the size in pixels and the colour.
struct TextRun {
    int32_t start = 0;
    uint16_t font = 0;
    uint8_t face = 0;
    int16_t size = 12;
    Rgb colour;
};
// A text entry of the card: the text, then its runs as a style scrap, then a pad byte (and
// flag 0x200) when the two are odd (BuilderText.cpp).
TextSubRecord TextEntry(uint16_t card, std::string_view text, const std::vector<TextRun>& runs);
// A font table ('FntL' 128): an entry of each (number, face, Mac face flag), then a zero one.
struct FontName {
    uint16_t number = 0;
    std::string face;
    bool macFace = false;
};
std::vector<uint8_t> FontTable(const std::vector<FontName>& fonts);
// A PackedMask of width x height in file order: the size big-endian, rows of whole 32-bit words
// (leftmost pixel in the top bit, 1 shows the picture), then the spare byte. white(x, y) says
// which pixels show.
std::vector<uint8_t> PackedMaskBlock(int width, int height, bool (*white)(int x, int y));
// A button carrying one chunk of every kind the format knows (51 to 130; two of kind 56, one
// of them a sprite), with paths in chunks 59, 60, 82 and 89 on a volume named "Disk".
Object AllChunksButton(uint16_t id);
std::vector<uint8_t> MacPath(std::string_view path);  // length-prefixed
Chunk PathChunk(uint16_t kind, std::string_view macPath);
// An 'Actn' resource: the button record in file order.
std::vector<uint8_t> ActionRecord(const Object& button);
// An 'Hlnk' resource: words 0..7 (+4 other bytes, +6 text length), text at +23, an optional
// button record after the text and the other bytes.
std::vector<uint8_t> LinkData(std::string_view text, const std::vector<uint8_t>& other,
                              const Object* button);

// A button of a shape (0 to 7) that shows its name, and its icon ('Icon' resource id) when
// iconId is set; a destination (a card id, or -1 next, -2 previous ...) with the plain
// transition. Shapes 5 to 7 carry a freehand mask chunk: an ellipse filling the bounds
// (BuilderButtons.cpp).
Object ShapedButton(uint16_t id, Rect rect, std::string name, uint16_t shape, uint16_t iconId = 0,
                    int16_t destination = 0);
// Gives a button, or the record of an 'Actn' resource, a timer: +24 the delay (whole seconds,
// or 0x1000 plus tenths), +26 the mode (1 once, 2 repeating).
void SetTimer(Object& owner, uint16_t value, uint16_t mode);
// A launch chunk (59) naming a document by a path and no program: the file entry as the plug-in
// packs it (path, volume, folder, name), its length at +18; a sound file chunk (55) naming the
// sound so; an address chunk (61), the address its payload. Each sets its action bit on the owner.
void LaunchDocument(Object& owner, std::string_view document);
void PlaySoundFile(Object& owner, std::string_view path);
void OpenAddress(Object& owner, std::string_view address);
// A button whose action shows a movie (action bit 0x100): a movie chunk (89) of the file at the
// Mac path, at the movie's rectangle, with the element flags (32 bits at +16; 1 the controller
// bar, 4 the first frame shown) and volume 255.
Object MovieButton(uint16_t id, Rect rect, std::string name, Rect movie, std::string_view macPath, uint32_t flags);
// A frame animation (BuilderFrames.cpp): frames of width x height pixel values (4 or 8 bits),
// top row first, played delay ticks apart for the cycles. The first is stored whole, rows padded
// to 16 bits; each later one as the pixels that changed: 8-byte pairs (a 32-bit offset into
// rows padded to 32 bits, 4 pixel bytes), or with shortPairs 4-byte pairs (a 16-bit offset into
// the stored rows, 2 pixel bytes), an offset past 32767 reached through marker pairs (0x8001,
// 32768 each). The header's flags get 0x0004 for short pairs; the others are as given (2: frame 1
// shows with the card, 0x40: not clipped).
struct FrameAnimation {
    int width = 0, height = 0, depth = 8;
    uint16_t delay = 6, cycles = 1, flags = 0;
    bool shortPairs = false;
    std::vector<std::vector<uint8_t>> frames;
};
// The animation as an animation chunk's payload, in file order.
std::vector<uint8_t> FrameAnimationPayload(const FrameAnimation& animation);
// A button whose action plays the animation (action bit 0x80) in the area.
Object FrameAnimationButton(uint16_t id, Rect rect, std::string name, Rect area, const FrameAnimation& animation);
// An 'Icon' resource: an icon file (little-endian, as stored) of one size x size 4-bit image
// with the colours given (the rest grey); index(size, x, y), y from the top, gives each
// pixel's colour, or -1 for the transparent ground.
std::vector<uint8_t> IconFileOf(int size, std::span<const Rgb> colours, int (*index)(int size, int x, int y));
// The disc of the colour with a black ring on a transparent ground.
std::vector<uint8_t> IconFile(int size, Rgb colour);
// The same disc as a cursor file (type 2) with its hot spot.
std::vector<uint8_t> CursorFile(int size, Rgb colour, uint16_t hotX = 0, uint16_t hotY = 0);
// A still 'Crsr' resource as a stack file keeps it: the big-endian kind 1 and length in its
// 28-byte header, then the 16 by 16 disc's cursor file with black and white exchanged.
std::vector<uint8_t> StoredCursor(Rgb colour, uint16_t hotX = 0, uint16_t hotY = 0);
// A RIFF 'ACON' animated cursor: 'anih' (steps, the default rate, the flags: 1 frames are
// icons, 2 a sequence is given), 'rate' and 'seq ' when not empty, and a LIST 'fram' of 'icon'
// chunks, each chunk padded to even length.
std::vector<uint8_t> AnimatedCursorFile(const std::vector<std::vector<uint8_t>>& frames, uint32_t steps,
                                        uint32_t defaultRate, const std::vector<uint32_t>& rates,
                                        const std::vector<uint32_t>& sequence, uint32_t flags = 1);

// A stored sound ('Snd ', format 1): one sampled-sound command over a header of 8-bit
// unsigned samples at the rate (BuilderMedia.cpp).
std::vector<uint8_t> StoredSound(uint32_t rate, std::span<const uint8_t> samples);
// One second of a 440 Hz tone at 11025 samples a second, 8-bit unsigned.
std::vector<uint8_t> ToneSamples();

// An animated object's stored record ('Sprt', BuilderSprites.cpp), as the payload of an
// animation chunk (56): the 600-byte header, the path, the film with its frames and blocks,
// big-endian, rectangles top, left, bottom, right. The film and the path name the sprite as
// their owner, as the reader makes them.
struct SpritePoint {
    int16_t x = 0, y = 0;
    uint32_t time = 0;  // milliseconds at the point
};
struct SpriteFilm {
    uint16_t kind = 0;                   // 0 a strip cut by frames, 2 a picture per frame, 3 a movie
    std::optional<Picture> strip;        // kind 0: the strip; kind 2: frame 0
    std::vector<Rect> frames;            // kind 0: each frame's rectangle in the strip
    std::vector<Picture> framePictures;  // kind 2: frames 1 and later, each its own picture
    std::optional<Picture> mask;         // a one-bit mask picture of the strip's size
    uint16_t maskState = 0;              // 2: masks from the transparent colour
    Rgb transparent;
    std::vector<uint8_t> movieRef;       // kind 3: the movie's packed file reference
};
struct Sprite {
    uint32_t number = 0;                 // the identity ('Sprt', number)
    bool hasPath = true;
    std::vector<SpritePoint> path;
    SpriteFilm film;
    std::vector<uint8_t> extra;          // the extra block after the header
    std::vector<Word> words;             // header fields, written last
    std::vector<Long> longs;
};
std::vector<uint8_t> SpriteRecord(const Sprite& sprite);
// A packed picture ("PPak", LZRW1 rows) of a picture of depth 1, 8, 16 or 32, packed by the
// plug-in's packer.
std::vector<uint8_t> PackedPictureOf(const Picture& picture);
// A button whose action (bit 0x80) plays the stored animation payload, with a destination.
Object AnimationButton(uint16_t id, Rect rect, std::string name, std::vector<uint8_t> payload,
                       int16_t destination = 0);

// A stack with no cards yet, of the card size and depth, whose reader may edit it (the
// experienced-user word set), as the authoring walks start from.
Stack EditableStack(uint16_t cardWidth, uint16_t cardHeight, uint16_t depth);

// Cards.
Card PlainCard(uint16_t id);
Card PictureCard(uint16_t id, Picture picture);
Card SharedCard(uint16_t id, uint16_t holderId);

// The demo stack of the README and a set of seeds for the fuzzer (name, stack). Its fourth
// card shows the movie kDemoMovieName, which lies beside the stack, with its controller bar.
// The demo holds only what an author would make; test objects go to the seeds and test stacks.
inline constexpr char kDemoMovieName[] = "demo.avi";
// Where the third card's flip-book plays, which starts when the card is entered.
inline constexpr Rect kDemoFlipBookArea = {120, 145, 200, 225};
Stack DemoStack();
// "Samples.stk", which the program looks for in its own folder (BuilderSamples.cpp): short
// sounds ('Snd ') under plain names for the sound dialog, and icons ('Icon') for the icon
// chooser, drawn here.
Stack SamplesStack();
// The picture of the demo's "Logo" graphic on its first card, at (20, 80): 32 x 32 at 8 bits,
// square rings 4 pixels wide round the centre, black (255 in the card's grey ramp) outermost,
// then white (0), black, white.
Picture LogoPicture();
// The demo's movie: 120 x 90, run-length coded, a second of colours at 12 frames a second.
std::vector<uint8_t> DemoMovie();
std::vector<std::pair<std::string, Stack>> SeedStacks();

// A saved object file (BuilderObjectFiles.cpp): the 32-byte header ("LMPK", the kind code of
// the object's kind, version 1.0), the object record, for a graphic that draws its own picture
// the colour table of `colours`, then each held resource (56-byte entry and data, the object as
// its owner; the last with continuation 0).
std::vector<uint8_t> ObjectFile(const Object& object, const std::vector<Resource>& held = {},
                                const Picture& colours = SolidPicture(1, 1, 8, 0));
// A 24-bit BMP file of a 32-bit picture (0x00RRGGBB pixels), bottom-up rows.
std::vector<uint8_t> BmpFile(const Picture& picture);

bool WriteFile(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace stackbuilder
