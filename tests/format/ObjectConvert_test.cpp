// Object records: rectangles, font sizes, graphic trailers and paths, text sub-records, every
// button chunk kind, and the file-order copies.
#include <cstring>
#include <functional>

#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

class ObjectConvertTest : public StackFileTest {};

TEST_F(ObjectConvertTest, RectanglesAndCommonHeader) {
    std::vector<uint8_t> rect = {0, 1, 0, 2, 0, 3, 0, 4};  // top 1, left 2, bottom 3, right 4
    const std::vector<uint8_t> file = rect;
    ASSERT_TRUE(SwapMacRect(rect));
    EXPECT_EQ(GetU16(rect, 0), 2) << "left";
    EXPECT_EQ(GetU16(rect, 2), 1) << "top";
    EXPECT_EQ(GetU16(rect, 4), 4) << "right";
    EXPECT_EQ(GetU16(rect, 6), 3) << "bottom";
    ASSERT_TRUE(SwapMacRect(rect));
    EXPECT_EQ(rect, file);
    EXPECT_FALSE(SwapMacRect(std::span<uint8_t>(rect.data(), 7)));

    sb::Object o;
    o.kind = 300;
    o.id = 0x0102;
    o.rect = {-1, -2, 300, 400};
    o.flags = 0x00B8;
    std::vector<uint8_t> host = HostObject(o);
    EXPECT_EQ(GetU16(host, kObjectKind), 300);
    EXPECT_EQ(GetU16(host, kObjectId), 0x0102);
    EXPECT_EQ(GetI16(host, kObjectRect), -1);
    EXPECT_EQ(GetI16(host, kObjectRect + 2), -2);
    EXPECT_EQ(GetI16(host, kObjectRect + 4), 300);
    EXPECT_EQ(GetI16(host, kObjectRect + 6), 400);
    EXPECT_EQ(GetU32(host, kObjectLength), 24u);
    EXPECT_EQ(GetU16(host, kObjectFlags), 0x00B8);
}

TEST_F(ObjectConvertTest, ButtonFontSizeFollowsTheScreen) {
    struct Case {
        int16_t stored;
        int dpi;
        uint16_t points;
        int16_t written;
    };
    const Case cases[] = {
        {16, 96, 12, 16}, {16, 72, 16, 16}, {-16, 96, 12, 16}, {15, 96, 11, 15},
        {2, 96, 2, 3}, {0, 96, 0, 0}, {24, 120, 14, 23}, {100, 96, 75, 100},
    };
    for (const Case& c : cases) {
        sb::Object b = sb::Button(1, {}, "F");
        b.words = {{kButtonFontSize, static_cast<uint16_t>(c.stored)}};
        StackConversion cv;
        cv.verticalDpi = c.dpi;
        std::vector<uint8_t> host = HostObject(b, cv);
        EXPECT_EQ(GetU16(host, kButtonFontSize), c.points) << c.stored << " at " << c.dpi;
        ASSERT_EQ(ConvertObjectRecord(host, ByteOrder::ToFile, cv, nullptr), kStackOk);
        EXPECT_EQ(static_cast<int16_t>(GetBE16(host, kButtonFontSize)), c.written) << c.stored << " at " << c.dpi;
    }
}

TEST_F(ObjectConvertTest, GraphicTrailerAndPath) {
    sb::Object g = sb::Graphic(1, {10, 20, 50, 27}, "Disk based");
    g.flags = kObjectHasPath;
    g.data = sb::MacPath("Disk:Pictures:photo.bmp");
    g.mask = sb::PackedMaskBlock(0, 99, [](int, int) { return true; });  // a stored width of 0
    const std::vector<uint8_t> file = sb::BuildObjectRecord(g);
    // The path, the 25-byte mask, the pad byte.
    ASSERT_EQ(file.size(), 80u + 24 + 25 + 1);
    StackConversion cv;
    std::memcpy(cv.stackDrive, "D:\\", 4);
    std::vector<uint8_t> host = file;
    ASSERT_EQ(ConvertObjectRecord(host, ByteOrder::ToHost, cv, nullptr), kStackOk);
    // "D:\Pictures\photo.bmp", its NUL (22 bytes, even), six zeros; then the mask and pad.
    ASSERT_EQ(host.size(), 80u + 28 + 25 + 1);
    EXPECT_EQ(GetU32(host, kObjectLength), host.size());
    EXPECT_EQ(GetU16(host, kObjectFlags), kObjectHasPath | kObjectPadded);
    EXPECT_EQ(CStringAt(host, 80), "D:\\Pictures\\photo.bmp");
    EXPECT_EQ(std::vector<uint8_t>(host.begin() + 101, host.begin() + 108), std::vector<uint8_t>(7, 0));
    const size_t mask = host.size() - 1 - 25;
    EXPECT_EQ(GetU16(host, mask), 40) << "a zero mask size becomes the rectangle's";
    EXPECT_EQ(GetU16(host, mask + 2), 7);
    EXPECT_EQ(GetU32(host, mask + 4), 0u);
    EXPECT_EQ(PStringAt(host, kGraphicName), "Disk based");
    EXPECT_EQ(GetU16(host, 54), 8);

    ASSERT_EQ(ConvertObjectRecord(host, ByteOrder::ToFile, cv, nullptr), kStackOk);
    EXPECT_EQ(host.size(), 134u) << "writing keeps the length";
    EXPECT_EQ(PStringAt(host, 80), "D::Pictures:photo.bmp");
    EXPECT_EQ(GetBE16(host, mask), 40);
    EXPECT_EQ(GetBE16(host, mask + 2), 7);

    // A path that already names a drive is kept as it is.
    sb::Object dos = g;
    const char text[] = "C:\\x\\y.bmp";
    dos.data.assign(text, text + sizeof text);
    std::vector<uint8_t> kept = HostObject(dos, cv);
    EXPECT_EQ(kept.size(), sb::BuildObjectRecord(dos).size());
    EXPECT_EQ(CStringAt(kept, 80), "C:\\x\\y.bmp");

    // A trailer that does not fit fails the object.
    for (uint32_t length : {4u, 50u, 1000u}) {
        std::vector<uint8_t> bad = file;
        SetBE32(bad, kGraphicTrailerLength, length);
        const char* reason = nullptr;
        EXPECT_EQ(ConvertObjectRecord(bad, ByteOrder::ToHost, cv, &reason), kStackDamaged) << length;
        EXPECT_STREQ(reason, "graphic trailer outside the record");
    }

    // The mask lies before the +64 bytes that follow it, where the picture reader looks.
    std::vector<uint8_t> after = sb::BuildObjectRecord(sb::Graphic(2, {0, 0, 40, 7}, "M"));
    after.insert(after.end(), {9, 9, 9, 9});
    SetBE32(after, kGraphicAfterMask, 4);
    SetBE32(after, kObjectLength, static_cast<uint32_t>(after.size()));
    ASSERT_EQ(ConvertObjectRecord(after, ByteOrder::ToHost, cv, nullptr), kStackOk);
    EXPECT_EQ(GetU32(after, kGraphicAfterMask), 4u);
    EXPECT_EQ(GetU16(after, 80), 40);
    EXPECT_EQ(GetU16(after, 82), 7);
    EXPECT_EQ(std::vector<uint8_t>(after.end() - 4, after.end()), std::vector<uint8_t>(4, 9));
    ASSERT_EQ(ConvertObjectRecord(after, ByteOrder::ToFile, cv, nullptr), kStackOk);
    EXPECT_EQ(GetBE32(after, kGraphicAfterMask), 4u);
    EXPECT_EQ(GetBE16(after, 80), 40);
    // Bytes after the mask past the record fail the object, as the picture reader would.
    SetBE32(after, kGraphicAfterMask, 100000);
    const char* why = nullptr;
    EXPECT_EQ(ConvertObjectRecord(after, ByteOrder::ToHost, cv, &why), kStackDamaged);
    EXPECT_STREQ(why, "graphic trailer outside the record");
}

TEST_F(ObjectConvertTest, TextSubRecordsAndPath) {
    sb::Object t = sb::TextField(5, {0, 0, 9, 9}, "Story", "");
    t.flags = kObjectHasPath;
    t.subRecords[0].word0 = 0x0A0B;
    t.subRecords[0].long4 = 0x01020304;
    t.subRecords[0].path = sb::MacPath("C::Texts:story.txt");
    sb::TextSubRecord second;
    second.word0 = 7;
    second.body = {'x', 'y', 'z'};
    t.subRecords.push_back(second);
    const std::vector<uint8_t> file = sb::BuildObjectRecord(t);
    ASSERT_EQ(file.size(), 128u + 35 + 19);

    std::vector<uint8_t> host = file;
    StackConversion cv;
    ASSERT_EQ(ConvertObjectRecord(host, ByteOrder::ToHost, cv, nullptr), kStackOk);
    // "C:\Texts\story.txt" and its NUL (19 bytes) padded to 20, then six zeros: 26 bytes.
    EXPECT_EQ(CStringAt(host, 144), "C:\\Texts\\story.txt");
    EXPECT_EQ(GetU32(host, 128 + 8), 26u);
    EXPECT_EQ(GetU32(host, 128 + 12), 42u);
    EXPECT_EQ(GetU16(host, 128), 0x0A0B);
    EXPECT_EQ(GetU32(host, 128 + 4), 0x01020304u);
    EXPECT_EQ(GetU16(host, 128 + 42), 7) << "the second sub-record follows the new size";
    EXPECT_EQ(GetU32(host, 128 + 42 + 12), 19u);
    EXPECT_EQ(host.size() % 2, 0u);
    EXPECT_EQ(GetU32(host, kObjectLength), host.size());
    EXPECT_EQ(host.size(), 128u + 42 + 19 + 1) << "a pad byte keeps the record even";
    EXPECT_EQ(GetU16(host, kObjectFlags), kObjectHasPath | kObjectPadded);
    std::vector<uint8_t> back = host;
    ASSERT_EQ(ConvertObjectRecord(back, ByteOrder::ToFile, cv, nullptr), kStackOk);
    std::vector<uint8_t> again = back;
    ASSERT_EQ(ConvertObjectRecord(again, ByteOrder::ToHost, cv, nullptr), kStackOk);
    EXPECT_EQ(again, host) << "a written path reads back the same";

    // Without flag 0x40 the sub-records keep their bytes apart from the header words.
    sb::Object plain = sb::TextField(6, {}, "Plain", "Mac bytes \x8e:\\");
    std::vector<uint8_t> plainFile = sb::BuildObjectRecord(plain);
    std::vector<uint8_t> plainHost = HostObject(plain);
    EXPECT_EQ(std::vector<uint8_t>(plainHost.begin() + 144, plainHost.end()),
              std::vector<uint8_t>(plainFile.begin() + 144, plainFile.end()));

    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        const char* reason;
    };
    const Case cases[] = {
        {"sub-record length 8", [](auto& r) { SetBE32(r, 128 + 12, 8); }, "text sub-record length outside the record"},
        {"sub-record past the record", [](auto& r) { SetBE32(r, 128 + 12, 4000); }, "text sub-record length outside the record"},
        {"path longer than its sub-record", [](auto& r) { SetBE32(r, 128 + 8, 30); }, "text sub-record path longer than the sub-record"},
        {"path flag without sub-record", [](auto& r) { r.resize(128); SetBE32(r, kObjectLength, 128); }, "text object path without a sub-record"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = file;
        c.damage(bad);
        const char* reason = nullptr;
        EXPECT_EQ(ConvertObjectRecord(bad, ByteOrder::ToHost, cv, &reason), kStackDamaged) << c.name;
        EXPECT_STREQ(reason, c.reason) << c.name;
    }
}

TEST_F(ObjectConvertTest, EveryChunkKindOfAButton) {
    const sb::Object button = sb::AllChunksButton(9);
    std::vector<uint8_t> host = HostObject(button);
    auto chunks = ButtonChunks(host);
    std::vector<uint16_t> kinds;
    for (const auto& c : chunks)
        kinds.push_back(GetU16(c, kObjectKind));
    ASSERT_EQ(kinds, (std::vector<uint16_t>{51, 56, 56, 59, 60, 61, 64, 82, 83, 89, 119, 129, 130}));
    for (const auto& c : chunks) {
        EXPECT_EQ(GetU32(c, kObjectLength), c.size()) << GetU16(c, 0);
        EXPECT_EQ(c.size() % 2, 0u) << GetU16(c, 0);
    }
    EXPECT_EQ(GetU32(host, kObjectLength), host.size());

    const auto& c51 = chunks[0];
    EXPECT_EQ(GetU16(c51, kObjectId), 1);
    EXPECT_EQ(GetU16(c51, kObjectRect), 1);
    EXPECT_EQ(GetU16(c51, kObjectRect + 6), 4);
    EXPECT_EQ(GetU16(c51, 16), 7);
    const auto& anim = chunks[1];
    EXPECT_EQ(GetU16(anim, 40), 1) << "frame count";
    EXPECT_EQ(GetU32(anim, 50 + 8), 12u) << "frame length";
    EXPECT_EQ(GetU16(anim, kObjectRect + 4), 7);
    EXPECT_EQ(std::string(chunks[2].begin() + 32, chunks[2].begin() + 36), "Sprt") << "sprites stay raw";
    const auto& pair = chunks[3];
    EXPECT_EQ(GetU16(pair, 16), 3);
    EXPECT_EQ(CStringAt(pair, 32), "C:\\Sounds\\bell.wav");
    const uint32_t firstLength = GetU32(pair, 18);
    EXPECT_EQ(firstLength, 26u);
    EXPECT_EQ(CStringAt(pair, 32 + firstLength), "C:\\Sounds\\bell2.wav");
    EXPECT_EQ(CStringAt(chunks[4], 32), "C:\\Stacks\\other.stk");
    EXPECT_EQ(std::string(chunks[5].begin() + 32, chunks[5].begin() + 35), "raw");
    EXPECT_EQ(GetU16(chunks[6], kObjectId), 7);
    const auto& sound = chunks[7];
    EXPECT_EQ(CStringAt(sound, 32), "C:\\Media\\sound.aif");
    EXPECT_EQ(GetU16(sound, 4), 0x44) << "word +4, not a rectangle";
    EXPECT_EQ(GetU16(sound, 24), 1);
    EXPECT_EQ(GetU16(chunks[8], 16), 131);
    const auto& movie = chunks[9];
    EXPECT_EQ(CStringAt(movie, 32), "C:\\Movies\\intro.mov");
    EXPECT_EQ(GetU16(movie, kObjectId), 4);
    EXPECT_EQ(GetU32(movie, 16), 100000u);
    EXPECT_EQ(GetU16(movie, 20), 2);
    EXPECT_EQ(GetU16(chunks[10], 24), 3);
    EXPECT_EQ(GetU16(chunks[11], kObjectId), 6);
    EXPECT_EQ(std::string(chunks[11].begin() + 32, chunks[11].begin() + 40), "raw mask");
    const auto& mask = chunks[12];
    EXPECT_EQ(GetU16(mask, 32), 16);
    EXPECT_EQ(GetU16(mask, 34), 4);
    EXPECT_EQ(GetU32(mask, 36), 0u) << "+36 and +38 are cleared in memory";

    // Writing fills +36 and +38 with the button's top and left.
    std::vector<uint8_t> file = host;
    ASSERT_EQ(ConvertObjectRecord(file, ByteOrder::ToFile, StackConversion{}, nullptr), kStackOk);
    const size_t maskAt = file.size() - mask.size();
    EXPECT_EQ(GetBE16(file, maskAt), 130);
    EXPECT_EQ(GetBE16(file, maskAt + 36), 200);
    EXPECT_EQ(GetBE16(file, maskAt + 38), 20);
    EXPECT_EQ(GetBE16(file, maskAt + 32), 16);
    std::vector<uint8_t> again = file;
    ASSERT_EQ(ConvertObjectRecord(again, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(again, host);

    // Chunks outside the table or of a bad length fail the button.
    struct Case {
        const char* name;
        sb::Chunk chunk;
        const char* reason;
    };
    sb::Chunk shortMask{130, 0, {}, 0, {}, {}, {1, 2}};
    sb::Chunk zeroFrame{56, 0, {}, 0, {}, {}, std::vector<uint8_t>(18 + 12, 0)};
    zeroFrame.payload[9] = 1;  // one frame of length 0
    sb::Chunk manyFrames{56, 0, {}, 0, {}, {}, std::vector<uint8_t>(18 + 12, 0)};
    manyFrames.payload[8] = 0x10;  // 4096 frames in 12 bytes
    manyFrames.payload[18 + 11] = 12;
    sb::Chunk shortAnimation{56, 0, {}, 0, {}, {}, {1, 2, 3, 4}};
    const Case cases[] = {
        {"kind 50", sb::Chunk{50, 0, {}, 0, {}, {}, {}}, "unknown chunk kind in a button"},
        {"kind 52", sb::Chunk{52, 0, {}, 0, {}, {}, {}}, "unknown chunk kind in a button"},
        {"kind 131", sb::Chunk{131, 0, {}, 0, {}, {}, {}}, "unknown chunk kind in a button"},
        {"kind 0", sb::Chunk{0, 0, {}, 0, {}, {}, {}}, "unknown chunk kind in a button"},
        {"mask shorter than its fields", shortMask, "chunk length outside the button"},
        {"frame of length 0", zeroFrame, "animation frame length outside its chunk"},
        {"more frames than bytes", manyFrames, "animation frame outside its chunk"},
        {"animation shorter than its fields", shortAnimation, "animation chunk shorter than its fields"},
    };
    for (const Case& c : cases) {
        sb::Object b = sb::Button(1, {}, "B");
        b.chunks = {sb::Chunk{51, 0, {}, 0, {}, {}, {}}, c.chunk};
        std::vector<uint8_t> bytes = sb::BuildObjectRecord(b);
        const char* reason = nullptr;
        EXPECT_EQ(ConvertObjectRecord(bytes, ByteOrder::ToHost, StackConversion{}, &reason), kStackDamaged) << c.name;
        EXPECT_STREQ(reason, c.reason) << c.name;
    }
    // Chunk lengths that cannot be walked.
    for (uint32_t length : {0u, 31u, 33u, 1000u}) {
        std::vector<uint8_t> bytes = sb::BuildObjectRecord([] {
            sb::Object b = sb::Button(1, {}, "B");
            b.chunks = {sb::Chunk{61, 0, {}, 0, {}, {}, {1, 2, 3, 4}}};
            return b;
        }());
        SetBE32(bytes, 136 + 12, length);
        const char* reason = nullptr;
        EXPECT_EQ(ConvertObjectRecord(bytes, ByteOrder::ToHost, StackConversion{}, &reason), kStackDamaged) << length;
        EXPECT_STREQ(reason, "chunk length outside the button") << length;
    }
    EXPECT_TRUE(IsKnownChunkKind(51));
    EXPECT_TRUE(IsKnownChunkKind(130));
    EXPECT_FALSE(IsKnownChunkKind(52));
}

TEST_F(ObjectConvertTest, NamesAreHeldToTheirFields) {
    sb::Object b = sb::Button(1, {}, "Name");
    std::vector<uint8_t> file = sb::BuildObjectRecord(b);
    file[kButtonName] = 200;
    ASSERT_EQ(ConvertObjectRecord(file, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(file[kButtonName], 31);
    sb::Object t = sb::TextField(1, {}, "N", "");
    file = sb::BuildObjectRecord(t);
    file[kTextName] = 16;
    ASSERT_EQ(ConvertObjectRecord(file, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(file[kTextName], 15);
    sb::Object g = sb::Graphic(1, {}, "N");
    file = sb::BuildObjectRecord(g);
    file[kGraphicName] = 255;
    ASSERT_EQ(ConvertObjectRecord(file, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(file[kGraphicName], 15);
    // The length field must match the record it came with.
    file = sb::BuildObjectRecord(g);
    file.push_back(0);
    file.push_back(0);
    const char* reason = nullptr;
    EXPECT_EQ(ConvertObjectRecord(file, ByteOrder::ToHost, StackConversion{}, &reason), kStackDamaged);
    EXPECT_STREQ(reason, "object length differs from its record");
}

TEST_F(ObjectConvertTest, RecordsToFileOrderInNewHandles) {
    const sb::Object button = sb::AllChunksButton(3);
    std::vector<uint8_t> host = HostObject(button);
    std::vector<uint8_t> expected = host;
    ASSERT_EQ(ConvertObjectRecord(expected, ByteOrder::ToFile, StackConversion{}, nullptr), kStackOk);
    Handle h = ButtonRecordToFileOrder(host, StackConversion{});
    ASSERT_NE(h, 0);
    EXPECT_EQ(HandleToBytes(h), expected);
    DisposeHandle(h);
    EXPECT_EQ(GraphicRecordToFileOrder(host, StackConversion{}), 0) << "not a graphic";

    std::vector<uint8_t> text = HostObject(sb::TextField(4, {1, 2, 3, 4}, "T", "text"));
    h = TextRecordToFileOrder(text, StackConversion{});
    ASSERT_NE(h, 0);
    EXPECT_EQ(HandleToBytes(h), sb::BuildObjectRecord(sb::TextField(4, {1, 2, 3, 4}, "T", "text")));
    DisposeHandle(h);

    sb::Object graphic = sb::Graphic(5, {0, 0, 4, 4}, "G");
    graphic.data = {1, 2, 3, 4};
    h = GraphicRecordToFileOrder(HostObject(graphic), StackConversion{});
    ASSERT_NE(h, 0);
    EXPECT_EQ(HandleToBytes(h), sb::BuildObjectRecord(graphic));
    DisposeHandle(h);

    // A host record that cannot be converted gives no handle (and leaves none behind).
    std::vector<uint8_t> broken = host;
    SetU16(broken, 136, 52);
    EXPECT_EQ(ButtonRecordToFileOrder(broken, StackConversion{}), 0);

    // The saved-object file header.
    std::vector<uint8_t> saved(kSavedObjectHeaderBytes, 0);
    SetBE32(saved, 0, ResType("LMPK"));
    SetBE16(saved, 4, 0x0102);
    SetBE32(saved, 8, 0x00010000);
    saved[20] = 4;
    std::memcpy(&saved[21], "Caf\x8e", 4);
    SetBE16(saved, 52, 48);
    SetBE32(saved, 56, 0x11223344);
    StackConversion mac;
    mac.headerMacRoman = true;
    ASSERT_TRUE(SwapSavedObjectHeader(saved, ByteOrder::ToHost, mac));
    EXPECT_EQ(GetU32(saved, 0), ResType("LMPK"));
    EXPECT_EQ(GetU16(saved, 4), 0x0102);
    EXPECT_EQ(GetU32(saved, 8), 0x00010000u);
    EXPECT_EQ(PStringAt(saved, 20), "Caf\xe9");
    EXPECT_EQ(GetU16(saved, 52), 48);
    EXPECT_EQ(GetU32(saved, 56), 0x11223344u);
    ASSERT_TRUE(SwapSavedObjectHeader(saved, ByteOrder::ToFile, mac));
    EXPECT_EQ(PStringAt(saved, 20), "Caf\x8e");
    EXPECT_EQ(GetBE32(saved, 56), 0x11223344u);
}

}  // namespace
