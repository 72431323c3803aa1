// Seeds for the fuzzers of the layer builders' and converters' byte work: card and object
// records in memory order as the stack reader leaves them, text links with and without actions,
// and the framed inputs of the GIF composer and of the decoded-rows fuzzer.
#include <cstring>

#include "LayerSeeds.h"
#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "objects/text/TextLinks.h"
#include "stack/cards/CardList.h"
#include "format/ByteSource.h"
#include "format/StackFile.h"
#include "format/StackReader.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace stackbuilder;

bool Round(int x, int y) { return (x - 8) * (x - 8) + (y - 6) * (y - 6) < 40; }

// A card of every object the layers are built of: plain and freehand buttons with icon and font,
// a text field, graphics with a picture and mask, disk based, hidden and never drawn.
Stack LayerObjectsStack() {
    Stack s;
    s.cardWidth = 64;
    s.cardHeight = 48;
    Card c = PictureCard(1, SolidPicture(64, 48, 8, 3));
    c.objects.push_back(ShapedButton(1, {0, 0, 16, 12}, "Round", kButtonShapePencil, 129, -1));
    Object font = ShapedButton(2, {20, 0, 40, 12}, "Bold", kButtonShapeDefault);
    font.words.push_back({84, 1001});
    font.words.push_back({86, 14});
    font.words.push_back({88, 1});
    c.objects.push_back(font);
    c.objects.push_back(TextField(3, {5, 15, 60, 30}, "Field", "Some text"));
    Object g = Graphic(4, {10, 10, 26, 22}, "Masked");
    SetGraphicPicture(g, GradientPicture(16, 12, 8));
    g.mask = PackedMaskBlock(16, 12, Round);
    c.objects.push_back(g);
    Object disk = Graphic(5, {0, 30, 10, 40}, "Disk");
    SetGraphicFile(disk, "C:\\pictures\\photo.bmp", {2, 2, 8, 8});
    c.objects.push_back(disk);
    Object hidden = Graphic(6, {30, 30, 38, 34}, "Hidden");
    SetGraphicPicture(hidden, SolidPicture(8, 4, 16, 0x7C00), GraphicRows::Raw);
    hidden.flags = 0x20;
    c.objects.push_back(hidden);
    s.cards.push_back(c);
    Card shared = SharedCard(2, 1);
    shared.objects.push_back(Button(7, {0, 0, 10, 10}, "Shared"));
    s.cards.push_back(shared);
    s.nextObjectId = 8;
    return s;
}

// Every card record, in memory order, of the seed stacks and the layer objects' stack.
std::vector<Bytes> CardRecords() {
    std::vector<Bytes> cards;
    if (!InitMemRefs())
        return cards;
    std::vector<std::pair<std::string, Stack>> stacks = SeedStacks();
    stacks.emplace_back("layer-objects", LayerObjectsStack());
    for (const auto& [name, stack] : stacks) {
        const Bytes bytes = BuildStack(stack).bytes;
        SpanByteSource source(bytes);
        StackConversion cv;
        StackFileContents contents;
        if (ReadStackFile(source, cv, contents).ok())
            for (Handle card : contents.cards)
                cards.push_back(HandleToBytes(card));
        DisposeStackFileContents(contents);
    }
    FreeMemRefs();
    return cards;
}

Seeds CardRecordSeeds() {
    Seeds seeds;
    for (const Bytes& card : CardRecords())
        seeds.push_back({"card-" + std::to_string(seeds.size()), card});
    return seeds;
}

// Each object of those cards on its own, as a layer builder is handed it.
Seeds ObjectRecordSeeds() {
    Seeds seeds;
    for (const Bytes& card : CardRecords()) {
        CardObjectWalk walk(card);
        ObjectPlace place;
        while (walk.Next(place))
            seeds.push_back({"object-" + std::to_string(place.kind) + "-" + std::to_string(seeds.size()),
                             Bytes(card.begin() + place.offset, card.begin() + place.offset + place.length)});
    }
    return seeds;
}

// Links as the plug-in writes them: text alone, with a button's actions after the text (odd and
// even lengths), and one whose pad word claims more than the record holds.
Seeds TextLinkSeeds() {
    Seeds seeds;
    Bytes actions = ActionRecord(ShapedButton(1, {0, 0, 10, 10}, "Go", kButtonShapeRounded, 0, -1));
    StackConversion cv;
    const char* reason = nullptr;
    if (ConvertActionRecord(actions, ByteOrder::ToHost, cv, &reason) != kStackOk)
        actions.clear();
    seeds.push_back({"link-plain", BuildLinkRecord(5, 0, "Pageloom", false, {})});
    seeds.push_back({"link-field", BuildLinkRecord(6, 3, "word", false, {})});
    seeds.push_back({"link-actions-odd", BuildLinkRecord(7, 0, "next card", true, actions)});
    seeds.push_back({"link-actions-even", BuildLinkRecord(8, 2, "go on", true, actions)});
    Bytes claims = BuildLinkRecord(9, 0, "pad", true, actions);
    SetU16(claims, kLinkOtherLength, 0xFFFF);
    seeds.push_back({"link-pad-claims", claims});
    return seeds;
}

// The GIF composer's input: the logical screen (2 bytes each, little-endian), then frames, each
// a 12-byte head (width, height, left, top, delay as bytes; disposal) and its BGRA pixels.
Seeds GifFrameSeeds() {
    const auto frame = [](Bytes* b, uint8_t w, uint8_t h, uint8_t left, uint8_t top, uint8_t delay, uint8_t disposal,
                          uint8_t alpha) {
        const Bytes head = {w, 0, h, 0, left, 0, top, 0, delay, 0, disposal, 0};
        b->insert(b->end(), head.begin(), head.end());
        for (int i = 0; i < w * h; ++i)
            b->insert(b->end(), {uint8_t(i * 7), uint8_t(i * 3), uint8_t(i), uint8_t(i % 3 ? alpha : 0)});
    };
    Bytes still = {8, 0, 8, 0};
    frame(&still, 8, 8, 0, 0, 0, 0, 255);
    Bytes moving = {12, 0, 10, 0};
    frame(&moving, 6, 6, 0, 0, 10, 2, 255);
    frame(&moving, 6, 6, 4, 3, 20, 3, 128);
    frame(&moving, 4, 4, 10, 8, 5, 1, 255);
    Bytes screenless = {0, 0, 0, 0};
    frame(&screenless, 5, 3, 0, 0, 0, 0, 255);
    frame(&screenless, 5, 3, 200, 0, 0, 2, 255);
    return {{"gif-still", still}, {"gif-moving", moving}, {"gif-screenless", screenless}};
}

// The decoded-rows fuzzer's input: width, height (a byte each), bytes a pixel, a stride pad
// byte, then rows.
Seeds DecodedRowSeeds() {
    Seeds seeds;
    for (uint8_t bytes : {3, 4}) {
        Bytes b = {7, 5, bytes, 0};
        const size_t stride = (7u * bytes + 3) & ~size_t(3);
        for (size_t i = 0; i < stride * 5; ++i)
            b.push_back(uint8_t(i * 13));
        seeds.push_back({"rows-" + std::to_string(bytes * 8), b});
    }
    Bytes jpeg = {4, 2, 3, 4, 0xFF, 0xD8, 0xFF, 0xE0};
    jpeg.resize(64, 0x40);
    seeds.push_back({"rows-jpeg-start", jpeg});
    return seeds;
}

}  // namespace

std::optional<Seeds> LayerReaderSeeds(std::string_view kind) {
    static const std::pair<std::string_view, Seeds (*)()> kKinds[] = {
        {"cardrecord", CardRecordSeeds}, {"objectrecord", ObjectRecordSeeds}, {"textlink", TextLinkSeeds},
        {"gifframes", GifFrameSeeds},    {"decodedrows", DecodedRowSeeds}};
    for (const auto& [name, make] : kKinds)
        if (name == kind)
            return make();
    return std::nullopt;
}
