// The stack file: its layout and the byte-order conversion of every record kind, both ways.
//
// A stack file is the 128-byte header, the card records one after the other, then the resource
// area at the offset the header gives. Every number in the file is big-endian, every rectangle
// top, left, bottom, right, every text Mac Roman. In memory the same records are kept in host
// (little-endian) order, rectangles left, top, right, bottom, texts in the Windows character set
// when the stack is a Mac Roman one. Records are converted whole, right after reading and right
// before writing. The reader that checks every record before converting it is StackReader.h.
//
// Files of this area, each with its functions below:
//   StackHeader.cpp      the header, its plausibility test, the Mac Roman decision
//   CardRecord.cpp       card records, the card checks, the end mark
//   ObjectConvert.cpp    common object header, rectangles, graphic and text objects, dispatch
//   ButtonConvert.cpp    buttons and their action chunks
//   MacPath.cpp          file paths between Mac form and DOS form
//   ColorTable.cpp       Mac colour tables and palettes
//   ResourceEntry.cpp    resource entry headers and resource data by type
//   RecordToFileOrder.cpp  object records in file order as new handles; saved-object headers
//   StackAlerts.cpp      the alerts through which a stack is refused
// Beside them: ByteReader.h (bounds-checked byte access), StackReader.h (reading a whole file:
// StackReader.cpp, and StackDescribe.cpp, what the reader sees as JSON).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/memory/Handles.h"

enum class ByteOrder { ToHost, ToFile };

// Results of this area: 0 success; kStackDamaged a record that failed a check; -1 memory.
inline constexpr int kStackOk = 0;
inline constexpr int kStackDamaged = 1;
inline constexpr int kStackNoMemory = -1;

// ---- Stack header (file offsets; 16-bit fields unless noted) ----
inline constexpr uint32_t kStackHeaderBytes = 128;
enum StackHeaderOffset : uint32_t {
    kHeaderAutoSave = 0,
    kHeaderExperiencedUser = 2,
    kHeaderCardCount = 4,
    kHeaderWord6 = 6,
    kHeaderVersion = 8,
    kHeaderNextCardId = 10,
    kHeaderNextObjectId = 12,
    kHeaderFlags = 14,
    kHeaderDepth = 16,
    kHeaderWord18 = 18,
    kHeaderTimersAndLinks = 20,
    kHeaderWord22 = 22,
    kHeaderLocked = 24,        // non-zero: no menu bar, and Shift+Tab does not switch tools
    kHeaderCardNumberInTitle = 26,
    kHeaderBytes28 = 28,       // 4 bytes, raw
    kHeaderPassword = 32,      // 16 bytes, raw, zero-terminated
    kHeaderPresentationMode = 48,
    kHeaderPresentation50 = 50,
    kHeaderWord52 = 52,
    kHeaderPresentation54 = 54,  // the screen mode flags (kScreenModeFlagOn)
    kHeaderCardWidth = 56,
    kHeaderCardHeight = 58,
    kHeaderResourceOffset = 60,  // 32-bit
    kHeaderResourceCount = 64,   // 32-bit
    kHeaderNextResourceId = 68,  // 32-bit; the resource manager's 16-bit counter sits at 68 too
    kHeaderStackActionA = 72,  // 'Actn' ids: arriving at the stack,
    kHeaderClosingAction = 74, // leaving it,
    kHeaderCursorId = 76,
    kHeaderStackActionB = 78,  // and a click on a card
    kHeaderBytes80 = 80,       // 48 bytes, raw
};
enum StackFlags : uint16_t {
    kStackKeepResources = 0x01,
    kStackIgnoreExtraClicks = 0x02,
    kStackHighCompression = 0x04,
    kStackMacRomanText = 0x10,
};
// Header word 54, the screen mode flags: bit 0 the screen mode is on.
inline constexpr uint16_t kScreenModeFlagOn = 0x01;
inline constexpr uint32_t kMaxResourceCount = 65536;
// The card offscreen is sized from the header's card size, so the size is bounded.
inline constexpr uint16_t kMaxCardExtent = 4096;

// ---- Card record ----
inline constexpr uint32_t kCardHeaderBytes = 96;
inline constexpr uint32_t kCardTrailerBytes = 4;
inline constexpr uint8_t kCardTrailer[kCardTrailerBytes] = {0x00, 0x00, 0xFA, 0xCE};
inline constexpr uint32_t kMinCardRecordBytes = kCardHeaderBytes + kCardTrailerBytes;
enum CardOffset : uint32_t {
    kCardId = 0,
    kCardLength = 2,  // 32-bit, trailer included
    kCardKind = 6,
    kCardBackgroundId = 8,
    kCardFlags = 10,
    kCardMenuBar = 16,
    kCardDepth = 18,
    kCardWidth = 20,
    kCardHeight = 22,
    kCardTestingAnswers = 24,  // 32-bit run-time handle, raw
    kCardName = 32,            // length-prefixed, 16 bytes, raw
    kCardAction1 = 48,  // 'Actn' ids: arriving at the card,
    kCardAction2 = 50,  // leaving it,
    kCardAction3 = 52,  // and a click on it
    kCardCursor = 54,
    kCardWord56 = 56,
};
inline constexpr uint32_t kCardNameBytes = 16;
enum CardKind : uint16_t { kCardKindPlain = 0, kCardKindPicture = 1, kCardKindShared = 3 };
// A shared card's background id names the card whose picture it shows; this value names none.
inline constexpr uint16_t kNoPictureCard = 0xFFFF;
enum CardFlags : uint16_t {
    kCardDeleted = 0x01,
    kCardLockedFlag = 0x08,
    kCardMarked = 0x80,  // navigation remembers the stack of a marked card when it is left
    kCardLockColors = 0x100,
};

// Picture block of a kind-1 card, at record offset 96 (offsets within the block).
inline constexpr uint32_t kPictureBlockOffset = kCardHeaderBytes;
inline constexpr uint32_t kPictureBlockHeaderBytes = 24;
enum PictureBlockOffset : uint32_t {
    kBlockWord0 = 0,       // the writer stores kPictureBlockWord0Value
    kBlockFormat = 2,      // a kPictureFormat value
    kBlockFlags = 10,      // 0x200 one pad byte at the end
    kBlockLength = 12,     // 32-bit, header included
    kBlockTableSize = 16,  // 32-bit
};
// Record offset of the colour table, which follows the block header.
inline constexpr uint32_t kPictureTableOffset = kPictureBlockOffset + kPictureBlockHeaderBytes;
inline constexpr uint16_t kPictureBlockWord0Value = 8;
// Block formats: the LZRW1 stream alone; a run header, then the stream (PackedPicture); JPEG data.
inline constexpr uint16_t kPictureFormatStream = 1;
inline constexpr uint16_t kPictureFormatPacked = 2;
inline constexpr uint16_t kPictureFormatJpeg = 3;
inline constexpr uint16_t kPicturePadFlag = 0x200;
// A packed picture's run header, after the colour table, with the 32-bit counts of its lead
// and trail runs.
inline constexpr uint32_t kRunHeaderBytes = 16;
enum RunHeaderOffset : uint32_t { kRunLeadCount = 4, kRunTrailCount = 12 };
inline constexpr uint32_t kMaxColorTableEntries = 256;
// The 32-bit colour table length in a kind-1 card record.
inline constexpr uint32_t kPictureTableLength = kPictureBlockOffset + kBlockTableSize;
// The 32-bit picture block length in a kind-1 card record.
inline constexpr uint32_t kPictureBlockLength = kPictureBlockOffset + kBlockLength;

// ---- Object records (and the common header of button chunks) ----
enum ObjectOffset : uint32_t {
    kObjectKind = 0,
    kObjectId = 2,
    kObjectRect = 4,     // memory: left, top, right, bottom; file: top, left, bottom, right
    kObjectLength = 12,  // 32-bit, header included
    kObjectFlags = 22,
};
inline constexpr uint32_t kObjectCommonBytes = 24;
enum ObjectKind : uint16_t { kObjectGraphic = 16, kObjectButton = 48, kObjectText = 96 };
enum ObjectFlags : uint16_t {
    kObjectDeletedFlag = 0x01,
    kObjectLocked = 0x08,
    kObjectBackground = 0x10,
    kObjectHidden = 0x20,
    kObjectHasPath = 0x40,      // disk based: a graphic's picture, a text's text come from a file
    kButtonNoClick = 0x80,      // buttons: reacts to the mouse passing over it
    kTextTransparent = 0x80,    // text objects: the picture shows through
    kButtonDropOffOnly = 0x100,
    kObjectPadded = 0x200,  // a chunk's +22 holds this flag alone
};
inline constexpr uint32_t kGraphicHeaderBytes = 80;
inline constexpr uint32_t kButtonHeaderBytes = 136;
inline constexpr uint32_t kTextHeaderBytes = 128;
inline constexpr uint32_t kChunkHeaderBytes = 32;
inline constexpr uint32_t kGraphicName = 38, kGraphicNameBytes = 16;
inline constexpr uint32_t kButtonName = 28, kButtonNameBytes = 32;
inline constexpr uint32_t kTextName = 72, kTextNameBytes = 16;
inline constexpr uint32_t kButtonFontSize = 86;

// Graphic object: the header, then the picture's rows and its packed mask (a picture kept in
// the record, stack/pictures/GraphicPicture.h), or the picture file's path (kObjectHasPath).
inline constexpr uint32_t kGraphicFrameWidth = 16;
inline constexpr uint32_t kGraphicSourceLeft = 18;  // i16: where the cut-out lies in its source picture
inline constexpr uint32_t kGraphicSourceTop = 20;   // i16
inline constexpr uint32_t kGraphicColor = 24;
inline constexpr uint32_t kGraphicPictureFlags = 28;
inline constexpr uint32_t kGraphicPictureRect = 30;  // left, top, right, bottom in memory
inline constexpr uint32_t kGraphicPictureDepth = 54;
inline constexpr uint32_t kGraphicAction = 56;       // 'Actn' id
inline constexpr uint32_t kGraphicCursor = 58;
// 32-bit: the length of what ends the record; for a picture in the record, its mask.
inline constexpr uint32_t kGraphicTrailerLength = 60;
inline constexpr uint32_t kGraphicAfterMask = 64;      // 32-bit
inline constexpr uint32_t kGraphicTransparency = 74;   // percent
inline constexpr uint16_t kGraphicMaxFrameWidth = 20;
inline constexpr uint16_t kGraphicMaxTransparency = 100;  // a larger stored value counts as this
enum GraphicPictureFlags : uint16_t { kGraphicHasMask = 0x02, kGraphicRowsPacked = 0x10 };
// Picture flags of exactly this value: a record that gets no layer and is never drawn.
inline constexpr uint16_t kGraphicNeverDrawn = 0x20;

// Text object: the header, then sub-records of a 16-byte header and their bytes; a disk-based
// text keeps its file's path after the first sub-record's header.
inline constexpr uint32_t kTextActivation = 26;
inline constexpr uint16_t kTextStaysInactive = 0x02;  // not made the active field after a redraw
inline constexpr uint32_t kTextColor = 30;
inline constexpr uint32_t kTextOptions = 26;  // the same word as kTextActivation
enum TextOptions : uint16_t {
    kTextScrollBar = 0x01,
    kTextReadOnly = 0x02,
    kTextFrame = 0x08,
    kTextNotScrollable = 0x80,
};
inline constexpr uint32_t kTextAlignment = 66;  // i16: 0 left, 1 centre, -1 right
inline constexpr uint32_t kTextAction = 102;  // 'Actn' id
inline constexpr uint32_t kTextCursor = 104;
inline constexpr uint32_t kSubRecordHeaderBytes = 16;
enum TextSubRecordOffset : uint32_t {
    kSubOwnerCard = 2,    // the card whose text it is
    kSubPathLength = 8,   // 32-bit
    kSubLength = 12,      // 32-bit, header included
};
enum TextBaseStyleOffset : uint32_t {
    kTextBaseFont = 90,   // i16, big-endian in memory too, like the rest of the style
    kTextBaseFace = 92,   // u8
    kTextBaseSize = 94,   // i16
    kTextBaseColor = 96,  // 3 x u16, each component in the high byte
};
// A text entry: type 99 (host order after reading, as its whole header), the owner card, flags
// (kTextEntryPadded), the text length (kSubPathLength) and the entry length (kSubLength).
inline constexpr uint16_t kTextEntryType = 99;
inline constexpr uint32_t kSubEntryFlags = 4;
inline constexpr uint32_t kTextEntryPadded = 0x200;
// A text object with no text: the header and one entry header whose length is not yet set.
inline constexpr uint32_t kEmptyTextRecordBytes = kTextHeaderBytes + kSubRecordHeaderBytes;
// The style scrap after an entry's text, big-endian: an i16 run count, then 20-byte runs.
inline constexpr uint32_t kStyleRunBytes = 20;
enum StyleRunOffset : uint32_t {
    kRunStart = 0,       // i32
    kRunLineHeight = 4,  // i16
    kRunAscent = 6,      // i16
    kRunFont = 8,        // i16, number in the 'FntL' table
    kRunFace = 10,       // u8: 1 bold, 2 italic, 4 underline, 8 strikeout
    kRunSize = 12,       // i16 pixels, 0 read as 12
    kRunColor = 14,      // 3 x u16, each component in the high byte
};
// A disk-based text's style block after its path: font, face, pad, size, colour (as in a run).
inline constexpr uint32_t kDiskStyleBytes = 12;
inline constexpr uint32_t kTextOwnerCard = kTextHeaderBytes + kSubOwnerCard;
inline constexpr uint32_t kTextPath = kTextHeaderBytes + kSubRecordHeaderBytes;

// The stack font table ('FntL' 128): 92-byte entries, big-endian in memory as on disk, that give
// the stored font numbers of buttons and text runs their faces; it ends at number 0.
inline constexpr uint32_t kFontTableResId = 128;
inline constexpr uint32_t kFontEntryBytes = 92;
enum FontEntryOffset : uint32_t {
    kFontEntryFace = 0,  // length byte and up to 63 characters
    kFontEntryNumber = 64,
    kFontEntryMacFace = 66,
    kFontEntryPitchFamily = 68,
    kFontEntryClipPrecision = 74,  // u32
    kFontEntryQuality = 78,        // u32
    kFontEntryCharSet = 82,        // u32
    kFontEntrySize = 86,
    kFontEntryWidth = 88,
    kFontEntryWeight = 90,
};
inline constexpr size_t kFontFaceMax = 63;

// Button: the header, then its action chunks to the end of the record. An action record (an
// 'Actn' resource, or the one a 'Hlnk' link holds) is laid out as a button record.
enum ButtonOffset : uint32_t {
    kButtonDestination = 16,  // a card id, or a negative special destination
    kButtonTransition = 18,
    kButtonActionFlags = 20,  // ActionBit
    kButtonTimerValue = 24,
    kButtonTimerMode = 26,
    kButtonShape = 60,
    kButtonTesting = 62,
    kButtonOptions = 64,      // ButtonOption
    kButtonNameColor = 66,
    kButtonFillColor = 68,
    kButtonSpeed = 76,
    kButtonIconId = 78,
    kButtonCursorId = 80,
    kButtonEffect = 82,
    kButtonFontNumber = 84,
    kButtonStyle = 88,        // ButtonStyle
};
// A transition word (+18) from this number up names a 'Tran' resource; below it, a built-in one.
inline constexpr uint16_t kFirstTransitionResource = 32;
// The plain move between cards, as a transition word, a QuickTime effect and a speed: the
// "Fastest" transition, no effect, speed 8.
inline constexpr int kPlainTransition = 3;
inline constexpr int kPlainEffect = 0;
inline constexpr int kPlainSpeed = 8;
enum ButtonOption : uint16_t { kButtonNoHilite = 4, kButtonShowName = 8, kButtonShowIcon = 16 };
enum ButtonStyle : uint16_t { kButtonBold = 1, kButtonItalic = 2, kButtonUnderline = 4 };
// The shape word (+60), and a button layer's shape; another stored value reads as the first.
enum ButtonShape : int16_t {
    kButtonShapeRounded = 0,    // a rounded rectangle with a one-pixel shadow inside its bottom and right
    kButtonShapeDefault = 1,    // the default look: a rounded one inside a thick frame; Enter runs it
    kButtonShapeRectangle = 2,
    kButtonShapeShadowed = 3,   // a rectangle with a two-pixel drop shadow
    kButtonShapeInvisible = 4,  // only its icon and name show
    kButtonShapePencil = 5,     // an outline drawn with the pencil on the card
    kButtonShapePicked = 6,     // an area of the card picture, picked by a click inside it
    kButtonShapeLasso = 7,      // a graphic of the card picture, encircled with the lasso
};
// Shapes 0 to 3 draw a figure of their own: their region is the figure and their icon and name
// are clipped inside it.
constexpr bool IsFramedButtonShape(int shape) { return shape <= kButtonShapeShadowed; }
// Shapes 5 to 7 are a mask taken from the card (kTagButtonMask): placed, hit and lit by it.
constexpr bool IsMaskedButtonShape(int shape) { return shape >= kButtonShapePencil && shape <= kButtonShapeLasso; }
inline constexpr uint16_t kActionRecordKind = 53;  // the kind word of a fresh 'Actn' record
// The timer words (+24, +26): a mode, and a delay in whole seconds or, with kTimerTenths set,
// 0x1000 plus tenths of a second; 0 in either form is at once.
enum TimerMode : uint16_t { kTimerOff = 0, kTimerOnce = 1, kTimerRepeating = 2 };
inline constexpr uint16_t kTimerTenths = 0x1000;
// The action flags: what a button does; most bits go with a chunk of their own (ActionTag).
enum ActionBit : uint16_t {
    kActSoundFile = 0x0001,
    kActSoundUnused = 0x0002,   // no longer acted on
    kActSoundResource = 0x0004,
    kActNba = 0x0008,
    kActOtherStack = 0x0010,
    kActGoTo = 0x0020,  // to the destination (+16)
    kActUrl = 0x0040,
    kActAnimation = 0x0080,
    kActMovie = 0x0100,
    kActVideodiscOld = 0x0200,  // no longer acted on
    kActLogo = 0x1000,
    kActVideodisc = 0x4000,
    kActLaunch = 0x8000,
};

// Button chunks: each begins with the common object header (its kind, an id, a rectangle, its
// length, and flags with kObjectPadded); the payload follows the chunk header.
enum ActionTag : uint16_t {
    kTagNba = 51,
    kTagAnimation = 56,
    kTagLaunch = 59,
    kTagOtherStack = 60,
    kTagUrl = 61,
    kTagLogo = 64,
    kTagOldAction80 = 80,  // no longer written; dropped on save
    kTagOldAction88 = 88,
    kTagSoundFile = 82,
    kTagSoundResource = 83,
    kTagMovie = 89,
    kTagVideodisc = 119,
    kTagButtonMask = 130,
};
enum ChunkOffset : uint32_t {
    kChunkSoundParameter = 4,  // sound chunks: a word where the others keep the rectangle
    kChunkValue = 16,          // the sound or module resource id, an inline value; movie: 32-bit flags
    kChunkFirstLength = 18,    // launch: 32-bit byte length of the first of its two paths
    kChunkOptionWord = 20,     // movie: the volume, 0 to 255
    kChunkSoundFlags = 24,     // also the videodisc flags
};
inline constexpr uint16_t kVideodiscPlayFlag = 0x02;  // videodisc flags: play
// A movie chunk's 32-bit flags (kChunkValue), which its media element takes over.
inline constexpr uint32_t kMediaFlagController = 0x1;
inline constexpr uint32_t kMediaFlagKeep = 0x2;
inline constexpr uint32_t kMediaFlagFirstFrame = 0x4;  // sounds: the data is 'Midi'
inline constexpr uint32_t kMediaFlagEraseWhenDone = 0x8;
inline constexpr uint32_t kMediaFlagOverObjects = 0x10;  // not clipped, mouse not passed to the card
inline constexpr uint32_t kMediaFlagLoop = 0x20;
inline constexpr uint32_t kMediaFlagApplyVolume = 0x80;
inline constexpr uint32_t kMediaFlagBackground = 0x100;
inline constexpr uint32_t kMediaFlagOwnController = 0x200;
inline constexpr uint16_t kSoundIsStroke = 0x8000;  // sound flags: a 'Strk' resource, not a 'Snd '
// A movie chunk's payload is the movie's packed file reference; an animation chunk's begins with
// kSprt (animations), else it is a frame animation (below), of which the player queues only
// the header and frame 1's head, flagged kFrameAnimInChunk.
// A frame animation, in memory order (the reader converts the header and every frame head): an
// 18-byte header, then frames, each a 16-byte head with its 32-bit length (head included) at
// kFrameLength, then its data. Frame 1's data is the whole picture, rows padded to 16 bits; a
// later frame's data is pairs of a big-endian offset and the pixel bytes put there.
enum FrameAnimField : uint32_t {
    kFrameAnimWidth = 0,
    kFrameAnimHeight = 2,
    kFrameAnimDelay = 4,   // ticks between frames
    kFrameAnimCycles = 6,
    kFrameAnimCount = 8,   // signed
    kFrameAnimDepth = 10,  // bits per pixel
    kFrameAnimFlags = 12,
    kFrameAnimHeaderBytes = 18,
};
inline constexpr uint32_t kFrameAnimFrameHeadBytes = 16;
inline constexpr uint32_t kFrameAnimRefBytes = kFrameAnimHeaderBytes + kFrameAnimFrameHeadBytes;
enum FrameAnimFlags : uint16_t {
    kFrameAnimRefreshAtEnd = 0x0001,  // the card is drawn again over the area when it ends
    kFrameAnimShownAtStart = 0x0002,  // frame 1 is drawn with the card
    kFrameAnimShortPairs = 0x0004,    // 4-byte pairs: 16-bit offset in stored rows, 2 pixel bytes
    kFrameAnimStopOthers = 0x0010,    // the object's other animations stop first
    kFrameAnimStopping = 0x0020,      // set at run time
    kFrameAnimUnclipped = 0x0040,     // drawn over the card's objects, with the card too
    kFrameAnimNotOwned = 0x0080,      // the queue does not free the data
    kFrameAnimInChunk = 0x0100,       // only the header is queued: frames come from the owner's chunk
};
// A 4-byte pair with this offset word adds kFrameAnimMarkerStep to the offsets that follow.
inline constexpr uint16_t kFrameAnimMarker = 0x8001;
inline constexpr uint32_t kFrameAnimMarkerStep = 32768;
// An animation chunk that is no sprite record: seven words from +32, then frames from +50, as
// many as word +40 says, each a 12-byte header holding its 32-bit length (+8), header included.
inline constexpr uint32_t kAnimWordsStart = 32, kAnimWordsEnd = 46;
inline constexpr uint32_t kAnimFrameCount = 40;
inline constexpr uint32_t kAnimFirstFrame = 50;
inline constexpr uint32_t kFrameHeaderBytes = 12;
inline constexpr uint32_t kFrameLength = 8;
// A button's mask chunk (kTagButtonMask): the owning button's top and left, in the file only.
inline constexpr uint32_t kMaskTop = 36, kMaskLeft = 38;
// The longest converted path pair; a longer one fails its record.
inline constexpr size_t kMaxConvertedPath = 500;

// ---- Resource area ----
inline constexpr uint32_t kResEntryHeaderBytes = 68;
enum ResEntryOffset : uint32_t {
    kResType = 0,          // 32-bit
    kResId = 4,
    kResWord6 = 6,         // raw
    kResName = 8,          // 32 bytes, length-prefixed
    kResAttributes = 40,   // 32-bit
    kResDataLength = 44,   // 32-bit
    kResPaddedLength = 48, // 32-bit
};
inline constexpr uint32_t kResNameBytes = 32;
inline constexpr uint32_t kResDeleted = 0x80000000u;
// 'Hlnk' hypertext link, in memory: the text of (+6) bytes at +24 (+23 in the file), other
// bytes of (+4), then an action record when +8 is not 0.
enum LinkOffset : uint32_t { kLinkOtherLength = 4, kLinkTextLength = 6, kLinkHasButton = 8, kLinkText = 24 };
inline constexpr uint32_t kLinkHeaderBytes = 24;
// 'NBAs' module information, one per extension module a stack uses (id = the module's id,
// name = its short name), in the machine's own order (little-endian), unlike the other records.
enum NbaInfoOffset : uint32_t {
    kNbaInfoAboutFlags = 0,  // 16-bit
    kNbaInfoId = 2,          // 16-bit
    kNbaInfoPersistent = 4,  // 32-bit run-time value, cleared on reading
    kNbaInfoShortName = 16,  // 32 bytes, NUL-terminated
    kNbaInfoFileName = 48,   // 256 bytes, NUL-terminated: the file in the "NBAS" folder
    kNbaInfoAbout = 560,     // the about text, NUL-terminated
};
inline constexpr uint32_t kNbaInfoShortNameBytes = 32;
inline constexpr uint32_t kNbaInfoFileNameBytes = 256;
inline constexpr uint32_t kNbaInfoMinBytes = kNbaInfoFileName + kNbaInfoFileNameBytes;  // 304
constexpr uint32_t ResType(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 |
           uint32_t(uint8_t(s[2])) << 8 | uint8_t(s[3]);
}
// The resource types a stack holds, by their codes.
inline constexpr uint32_t kActn = ResType("Actn");  // action records, laid out as buttons
inline constexpr uint32_t kHlnk = ResType("Hlnk");  // hypertext links (LinkOffset)
inline constexpr uint32_t kCrsr = ResType("Crsr");  // cursors
inline constexpr uint32_t kIcon = ResType("Icon");  // button icons
inline constexpr uint32_t kSnd = ResType("Snd ");   // sounds
inline constexpr uint32_t kStrk = ResType("Strk");  // stroke sounds (kSoundIsStroke)
inline constexpr uint32_t kMidi = ResType("Midi");  // MIDI sounds
inline constexpr uint32_t kNbas = ResType("NBAs");  // extension module information (NbaInfoOffset)
inline constexpr uint32_t kNbap = ResType("NBAp");  // a module's own data
inline constexpr uint32_t kTran = ResType("Tran");  // transitions
inline constexpr uint32_t kQtfx = ResType("QTFX");  // QuickTime effect transitions
inline constexpr uint32_t kQtfxId = 4;  // u16 in a 'QTFX' record: its own id, after the u32 effect code
inline constexpr uint32_t kFntL = ResType("FntL");  // the font table (kFontTableResId)
inline constexpr uint32_t kWksp = ResType("WKSp");  // the workspace: windows and card preview
inline constexpr uint32_t kOldWksp = ResType("WkSp");  // the workspace as older stacks stored it
// The code at the head of an animation chunk's payload.
inline constexpr uint32_t kSprt = ResType("Sprt");

// ---- Animated objects ('Sprt' records), in the payload of an animation chunk ----
// The sprite header (600 bytes), an extra block of +452 bytes (skipped when reading), the path
// (+456 bytes, none when 0), then the film (+460 bytes). Each of the three begins with the same
// 26-byte head. Offsets of the memory form; the stored form is big-endian, rectangles top, left,
// bottom, right. Fields not named here are carried as they are or are run-time.
inline constexpr uint32_t kFilm = ResType("Film");
inline constexpr uint32_t kPath = ResType("Path");
inline constexpr uint16_t kAnimRecordVersion = 100;
enum AnimHeadOffset : uint32_t {
    kAnimTag = 0,         // 32-bit
    kAnimLength = 4,      // 32-bit: the sprite header's 600, else 0
    kAnimVersion = 8,
    kAnimIdentity = 10,   // two 32-bit values: a four-character kind and a number
    kAnimOwner = 18,      // the same, of the owner
};
inline constexpr uint32_t kAnimHeadBytes = 26;
inline constexpr uint32_t kSpriteHeaderBytes = 600;
enum SpriteOffset : uint32_t {
    kSpriteOwnHandle = 26,        // run-time 26-49
    kSpriteTemplate = 50,
    kSpriteEndCondition = 52,
    kSpriteEndTimer = 56,         // run-time 56-79
    kSpriteSeconds = 84,          // 32-bit
    kSpriteAllowClones = 124,     // bytes 124-139
    kSpriteShowFirstFrame = 130,
    kSpriteStayVisible = 131,
    kSpriteDontEraseGoing = 133,
    kSpriteDontEraseReturning = 134,
    kSpriteFloatGoing = 136,
    kSpriteFloatReturning = 137,
    kSpriteMirrorAtStart = 138,
    kSpriteMirrorAtEnd = 139,
    kSpriteLayer = 140,
    kSpriteLayerNumber = 142,
    kSpriteAnglesAtEnd = 150,     // three 16-bit values: horizontal and vertical mirror angles
    kSpriteAnglesElsewhere = 156,
    kSpriteBounds = 188,          // rectangle
    kSpriteExtraHandle = 220,     // run-time handles (32-bit): written 0
    kSpriteExtraPointer = 224,
    kSpriteFilmHandle = 236,
    kSpriteFilmPointer = 240,
    kSpriteFrameTiming = 244,
    kSpriteIntervalSet = 246,     // cleared whenever the frame interval is set
    kSpriteFrameStep = 272,
    kSpriteFramesFollow = 274,    // byte
    kSpriteFrameInterval = 276,   // 32-bit fields from here to 312
    kSpriteFrameScale = 280,
    kSpriteFrameIncrement = 288,
    kSpriteFrameRepeats = 296,
    kSpriteStartFrame = 304,
    kSpriteFirstFrame = 308,
    kSpriteEndFrame = 312,
    kSpritePathHandle = 324,      // run-time handles (32-bit): written 0
    kSpritePathPointer = 328,
    kSpritePathTiming = 332,
    kSpritePathSource = 334,
    kSpritePathStep = 360,
    kSpritePathInterval = 364,    // 32-bit fields from here to 400
    kSpritePathScale = 368,
    kSpritePathIncrement = 376,
    kSpritePathRepeats = 384,
    kSpriteStartPoint = 392,
    kSpriteFirstPoint = 396,
    kSpriteEndPoint = 400,
    kSpriteExtraLength = 452,     // 32-bit stored lengths of what follows the header
    kSpritePathLength = 456,
    kSpriteFilmLength = 460,
    kSpriteBehaviours = 472,      // run-time 472-535
};
// The template value that asks the setter to choose from the film's and the path's counts.
inline constexpr uint16_t kSpriteTemplateFromCounts = 32000;
// The settings' values. The behaviour template decides which steps the object has at all.
enum SpriteTemplate : uint16_t {
    kTemplateStill = 0,
    kTemplateFramesOnly = 1,      // frames in place: a movie, or a film without a path
    kTemplatePathOnly = 2,
    kTemplateFramesAndPath = 3,
    kTemplateFramesFollow = 4,    // a frame after every path step
};
enum SpriteEndCondition : uint16_t {
    kEndsNever = 0,
    kEndsAfterSeconds = 2,        // kSpriteSeconds
    kEndsAfterFrameRepeats = 4,
    kEndsAfterPathRepeats = 5,
    kEndsWithMovie = 6,
};
// Frame and path timing: when a step is due.
enum SpriteTiming : uint16_t { kTimingNone = 0, kTimingEveryStep = 1, kTimingTimer = 2 };
enum SpriteFrameStep : uint16_t {
    kFrameStepNone = 0,
    kFrameStepForward = 1,
    kFrameStepBackward = 2,
    kFrameStepUnchecked = 3,      // forward without the range test
    kFrameStepHold = 4,
    kFrameStepMovie = 5,
};
enum SpritePathStep : uint16_t {
    kPathStepNone = 0,
    kPathStepForward = 1,
    kPathStepBackward = 2,
    kPathStepBackAndForth = 3,
    kPathStepWrap = 4,
};
// Where the path interval comes from: the fixed interval (kSpritePathInterval, also for end to
// end, which spreads a time over the points) or each point's recorded time.
enum SpritePathSource : uint16_t { kPathSourceInterval = 0, kPathSourceRecorded = 1, kPathSourceEndToEnd = 2 };
// The layer kind; 4 to 6 are placed as kLayerAny.
enum SpriteLayerKind : uint16_t { kLayerAny = 0, kLayerTop = 1, kLayerBottom = 2, kLayerByNumber = 3 };
// A mirror angle of kSpriteAnglesAtEnd and kSpriteAnglesElsewhere that mirrors the film.
inline constexpr uint16_t kAngleMirrored = 180;
inline constexpr uint32_t kFilmFixedBytes = 362;  // the head and one frame slot
inline constexpr uint32_t kFilmFrameBytes = 120;
enum FilmOffset : uint32_t {
    kFilmMade = 26,               // 1, not converted
    kFilmKind = 32,               // 0, 1 strip; 2 a picture per frame; 3 a movie
    kFilmMaskState = 34,          // 2 with per-frame masks
    kFilmMirrorReady = 38,        // run-time bytes
    kFilmMirrored = 39,
    kFilmTransparent = 40,        // three 16-bit values, red, green, blue
    kFilmFrameCount = 46,         // 32-bit
    kFilmMethods = 70,            // run-time 70-165: the kind whose methods are installed,
    kFilmPicturesOut = 72,        // and 1 while the pictures are made from the blocks
    kFilmStripPicture = 134,      // run-time handles (32-bit), each beside a spare word
    kFilmMirrorPicture = 142,
    kFilmFramePictures = 150,
    kFilmMaskPicture = 158,
    kFilmPictureLength = 166,     // 32-bit stored block lengths
    kFilmFrameBlockLength = 170,
    kFilmMaskLength = 174,
    kFilmKeepMirror = 178,        // run-time bytes
    kFilmMirrorH = 179,
    kFilmMirrorV = 180,
    kFilmFrames = 242,
};
enum FilmKind : uint16_t { kFilmStrip = 0, kFilmStripToo = 1, kFilmPerFrame = 2, kFilmMovie = 3 };
enum FilmFrameOffset : uint32_t {
    kFrameRect = 0,               // rectangle
    kFrameRect2 = 8,              // rectangle, carried
    kFrameAnchor = 16,            // three 16-bit values
    kFrameMask = 44,              // run-time 36-59: mask bitmap, its offset, mirrored twins
    kFrameMaskOffset = 48,
    kFrameMirrorMask = 52,
    kFrameMirrorOffset = 56,
    kFramePictureOffset = 60,     // 32-bit, kind 2: in the frame block
    kFramePictureLength = 64,
};
inline constexpr uint32_t kPathFixedBytes = 110;
inline constexpr uint32_t kPathNewBytes = 138;  // as made: the fixed part and a spare point
inline constexpr uint32_t kPathPointBytes = 28;
enum PathOffset : uint32_t {
    kPathReferences = 26,         // memory only
    kPathKind = 28,
    kPathFlag = 104,
    kPathPointCount = 106,        // 32-bit
    kPathPoints = 110,
};
enum PathPointOffset : uint32_t { kPointX = 0, kPointY = 2, kPointZ = 4, kPointTime = 6, kPointSelected = 11 };

// What a conversion takes from the machine and the stack: the screen's vertical dots per inch
// (button font sizes), the first three characters of the current stack's path (paths), and the
// Mac Roman decision of the stack being read or written.
struct StackConversion {
    int verticalDpi = 96;
    char stackDrive[4] = {'C', ':', '\\', 0};
    bool headerMacRoman = false;  // header flag 0x10
    bool detectionDone = false;   // the first kind-1 card with a colour table has decided
    bool macMade = false;         // ... that the stack was made on a Mac
    // Paths written shorter than they are (the file's form holds 255 characters): counted while
    // records are converted to the file, so that the save says so. Not a setting of the stack.
    mutable uint32_t pathsCut = 0;
};

// What was left out of a record that passed its own checks: a bad object, chunk or resource.
struct StackDrop {
    uint32_t offset = 0;  // file offset of the dropped bytes (or record offset, in `what`)
    std::string what;
    std::string reason;
};
using DropLog = std::vector<StackDrop>;

// ---- StackHeader.cpp ----
// Converts the 128-byte header in place. To host: the Mac Roman flag is taken from the header
// and the detection reset. To file: flag 0x10 is set first when the detection found a Mac stack.
// False when the span is shorter than the header.
bool SwapStackHeader(std::span<uint8_t> header, ByteOrder order, StackConversion& cv);
// The plausibility test on a host-order header, with every 16-bit field taken unsigned: depth
// below 33, word 6 below 256, version 1..255, card size 1..kMaxCardExtent each way, card count
// not 0, resource count at most 65536, and 128 <= resource offset <= file size.
bool IsStackHeaderValid(std::span<const uint8_t> header, uint32_t fileSize);
// Why a header fails that test (null when it passes), for reports.
const char* StackHeaderFault(std::span<const uint8_t> header, uint32_t fileSize);
// The refusals of an open after the plausibility test, in the order the open makes them: the
// alert id of black and white (2256), too new (2221) or too old (2222), else 0.
int StackHeaderRefusal(std::span<const uint8_t> header);
// Whether card and object texts of the stack being converted are Mac Roman.
bool StackTextIsMacRoman(const StackConversion& cv);
// The Mac-made detection on a card whose header and picture block header are in host order:
// the first kind-1 card with a colour table decides once. Returns StackTextIsMacRoman.
bool GetConvertedTextFlag(std::span<const uint8_t> card, StackConversion& cv);

// ---- CardRecord.cpp ----
// A handle of n + 2 bytes whose last two are the end mark FA CE.
Handle NewHandleWithEndMark(uint32_t n);
// The checks on a card record in file order; null when it passes, else what failed: length at
// least 100 and equal to the span, trailer 00 00 FA CE, kind 0, 1 or 3; for kind 1 the picture
// block, its colour table (at most 256 entries) and run header inside the record, and a
// non-empty LZRW1 stream flagged 0 or 1.
const char* CheckCardRecord(std::span<const uint8_t> record);
// Where the object list starts: 96, or 96 + the picture block length for a kind-1 card.
uint32_t CardObjectsOffset(Handle card);
uint32_t CardObjectsOffsetIn(std::span<const uint8_t> card);  // host order
// Converts a whole card record in its handle (the handle may change size).
// To host: the record must pass CheckCardRecord, else kStackDamaged and nothing changes; then
// header, picture block, and each object; an object whose length is bad ends the object list
// there, one whose conversion fails is left out; both are logged in drops (may be null).
// To file: the inverse; any object that fails makes the whole conversion fail, unchanged.
int SwapCardRecord(Handle card, ByteOrder order, StackConversion& cv, DropLog* drops);
// The same on bytes: `record` is replaced by the converted record when the result is 0.
int SwapCardRecordBytes(std::vector<uint8_t>& record, ByteOrder order, StackConversion& cv,
                        DropLog* drops, uint32_t fileOffset = 0);
// A record written anew (an object dropped, another edited) keeps what the file held for each
// object not changed since it was read, so that what the reader fills in (a stored mask size of
// 0 read as the object's) goes back as stored: `stored` is the file's record, `read` the record
// as read and `now` as it stands (both host order), `file` the new file bytes of `now`, changed
// in place. An object whose stored bytes have another length than its new ones keeps the new
// ones, so the record's layout stays. Returns how many objects were kept.
int KeepUnchangedObjects(std::span<const uint8_t> stored, std::span<const uint8_t> read,
                         std::span<const uint8_t> now, std::span<uint8_t> file);

// ---- ObjectConvert.cpp ----
// Rectangles between file order (top, left, bottom, right) and memory order; its own inverse.
bool SwapMacRect(std::span<uint8_t> rect);
// id, rectangle, length and flags of an object or chunk (the kind word is the caller's).
bool SwapObjectHeader(std::span<uint8_t> object);
// The fixed header of an object kind (the common 24 bytes for a kind not listed).
uint32_t ObjectHeaderBytes(uint16_t kind);
// A length-prefixed text field: the length byte clamped to the field, the text converted to or
// from Mac Roman when the stack's texts are Mac Roman.
void ConvertTextField(std::span<uint8_t> field, ByteOrder order, const StackConversion& cv);
// One whole object record, kind word included; it may change size (paths). The record must be
// exactly as long as its length field says. On failure (kStackDamaged) *reason says why and the
// bytes are left partly converted.
int ConvertObjectRecord(std::vector<uint8_t>& object, ByteOrder order, const StackConversion& cv,
                        const char** reason);
int ConvertGraphicObject(std::vector<uint8_t>& object, ByteOrder order, const StackConversion& cv,
                         const char** reason);
int ConvertTextObject(std::vector<uint8_t>& object, ByteOrder order, const StackConversion& cv,
                      const char** reason);
// Keeps a record that a conversion resized at an even length: the pad byte at its end (flag
// 0x200 in the host-order flags word at flagsOffset) is dropped or added.
void KeepRecordEven(std::vector<uint8_t>& record, size_t flagsOffset);

// ---- ButtonConvert.cpp ----
// Whether a chunk kind is one the button conversion knows (51..130, from its table).
bool IsKnownChunkKind(uint16_t kind);
// The button part of a button record whose kind and common header are already in the order
// the conversion starts from (to host: converted first; to file: still host, converted after).
int ConvertButtonObject(std::vector<uint8_t>& button, ByteOrder order, const StackConversion& cv,
                        const char** reason);
// A whole button record as an 'Actn' resource holds it: kind, common header, button part.
int ConvertActionRecord(std::vector<uint8_t>& record, ByteOrder order, const StackConversion& cv,
                        const char** reason);

// ---- MacPath.cpp ----
// A region already holding a DOS path: byte 1 ':' and byte 2 '\'.
bool PathRegionHasDrive(std::span<const uint8_t> region);
// Mac form (length-prefixed volume:folder:file, or drive letter and "::") to DOS form: the
// string zero-terminated, a zero pad to an even length, six zero bytes, then the second string
// (zero-terminated) when one is given. False when the result would pass kMaxConvertedPath.
// *firstLength receives the length of the first string's part (string, pad, six zeros).
bool MacPathToDos(std::span<const uint8_t> first, const std::span<const uint8_t>* second,
                  const char* drive, std::vector<uint8_t>& out, size_t* firstLength);
// DOS form to Mac form in place, keeping the byte length: the zero-terminated string at the
// region's start becomes a length-prefixed one with every '\' turned into ':', and the rest of
// the region is cleared.
// False when the path did not fit (more than 255 characters, or the region) and was cut.
bool DosPathToMac(std::span<uint8_t> region);
// The path in [start, start + length) of a record: to host, a Mac path (not an empty region,
// not one already holding a drive) is replaced by its DOS form; to file, turned back in place.
// *newLength receives the region's length afterwards. False when the path is too long.
bool ConvertPathRegion(std::vector<uint8_t>& record, size_t start, size_t length, ByteOrder order,
                       const StackConversion& cv, size_t* newLength);

// ---- ColorTable.cpp ----
// A Mac colour table: u32 seed, u16 flags, u16 count - 1, then 8-byte entries (value, red,
// green, blue), big-endian in memory as in the file; a component's first byte is its colour.
inline constexpr uint32_t kMacColorTableHeaderBytes = 8;
inline constexpr uint32_t kMacColorTableCount = 6;
inline constexpr uint32_t kMacColorTableEntryBytes = 8;
enum MacColorEntryOffset : uint32_t { kMacColorRed = 2, kMacColorGreen = 4, kMacColorBlue = 6 };
struct PaletteColor {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
};
inline constexpr uint8_t kPaletteNoCollapse = 0x04;
// Palette entries below this keep the system's own colours when the palette is realized.
inline constexpr uint32_t kFirstNoCollapseEntry = 10;
// The bytes a colour table of this depth takes: 8 + 8 x min(2^depth, 256).
uint32_t ColorTableBytesForDepth(int depth);
// Entries the table holds (count word + 1), 0 when the table is shorter than its header or
// than the entries it announces, or announces more than kMaxColorTableEntries.
uint32_t MacColorTableCount(std::span<const uint8_t> table);
// A LOGPALETTE in a new handle (u16 version 0x300, u16 count, then red, green, blue, flags);
// entries from index 10 on carry PC_NOCOLLAPSE. 0 for a damaged table or no memory.
Handle MacColorTableToPalette(std::span<const uint8_t> table);
// The table's colours, flagged as in that palette; the one reader of the tables (none for a
// table MacColorTableCount refuses).
std::vector<PaletteColor> MacColorTableColors(std::span<const uint8_t> table);
// Fills a DIB colour table (blue, green, red, 0 per entry); returns the entries written.
uint32_t CopyColorTableToDib(std::span<const uint8_t> table, std::span<uint8_t> dibColors);
// What PaletteToMacColorTable takes from the machine.
struct ColorTableSource {
    int workingDepth = 8;                         // 4: 16 entries, else 256
    std::span<const PaletteColor> palette;        // the given palette, may be empty
    std::span<const PaletteColor> appPalette;     // the application palette
    std::span<const PaletteColor> systemPalette;  // the system palette
    bool mapped = false;                          // colours through the index map
    std::span<const uint8_t> indexMap;            // the application palette's index table
    uint32_t ticks = 0;                           // the seed
};
Handle PaletteToMacColorTable(const ColorTableSource& source);

// ---- ResourceEntry.cpp ----
// One resource, in memory (the resource manager's table holds these; ResFile.h).
struct ResEntry {
    uint32_t type = 0;
    uint16_t id = 0;
    uint16_t word6 = 0;                // kept from the file, written back as it was
    uint8_t name[kResNameBytes] = {};  // length-prefixed, length byte clamped to 31
    uint32_t attributes = 0;           // bit 31 (kResDeleted): deleted
    uint32_t dataLength = 0;           // after conversion, the data handle's size
    Handle data = 0;                   // 0 when not loaded
    uint32_t filePosition = 0;         // of the 68-byte entry header; 0 when only in memory
    // The data did not pass its conversion: it is held as stored, never handed out by a lookup,
    // and written back unchanged, so a save keeps the person's bytes.
    uint8_t raw = 0;
};
// Parses and checks a 68-byte entry header in file order that starts at filePosition in a file
// of fileSize bytes: data length <= padded length <= data length + 3, the data (not
// necessarily the last entry's padding) inside the file.
// *paddedLength receives the padded length (the next entry follows it). Null when it passes, else what failed (the entry
// is still filled as far as it could be).
const char* ReadResourceEntryHeader(std::span<const uint8_t> header, uint32_t filePosition,
                                    uint32_t fileSize, ResEntry& entry, uint32_t* paddedLength);
// Converts a 68-byte entry header in place.
bool SwapResourceEntryHeader(std::span<uint8_t> header);
// Converts resource data by type in its handle ('Actn', 'Hlnk', 'Crsr', 'NBAs'; others raw).
// kStackDamaged when the data fails its checks; the handle is then unchanged.
int SwapResourceData(uint32_t type, Handle data, ByteOrder order, const StackConversion& cv,
                     const char** reason);
int SwapResourceDataBytes(uint32_t type, std::vector<uint8_t>& data, ByteOrder order,
                          const StackConversion& cv, const char** reason);

// ---- RecordToFileOrder.cpp ----
// A host-order object record in file order in a new handle (header, then chunks, path, trailer
// or sub-records); 0 when memory runs out or the record fails its conversion.
Handle ButtonRecordToFileOrder(std::span<const uint8_t> record, const StackConversion& cv);
Handle GraphicRecordToFileOrder(std::span<const uint8_t> record, const StackConversion& cv);
Handle TextRecordToFileOrder(std::span<const uint8_t> record, const StackConversion& cv);
// A saved object file (one card object with its resources) begins with a 32-byte big-endian
// header: 'LMPK', the kind code ('Bttn', 'Grfc', 'TFld'), the version, 20 zeros.
inline constexpr uint32_t kObjectFileHeaderBytes = 32;
// The 60-byte header of a saved object file, in place.
inline constexpr uint32_t kSavedObjectHeaderBytes = 60;
inline constexpr uint32_t kSavedName = 20, kSavedNameBytes = 32;  // the object's name
bool SwapSavedObjectHeader(std::span<uint8_t> header, ByteOrder order, const StackConversion& cv);

// ---- StackAlerts.cpp ----
inline constexpr int kAlertStackTooNew = 2221;
inline constexpr int kAlertStackTooOld = 2222;
inline constexpr int kAlertBlackAndWhiteStack = 2256;
inline constexpr int kAlertNotAStack = 2268;
inline constexpr int kAlertNoCardsRead = 2305;
inline constexpr int kAlertSmallCards = 2334;  // a question: convert to the minimum size?
// The string-table text of a stack alert (digits, message, "~" labels), null for other ids.
const char* StackAlertText(int alertId);
