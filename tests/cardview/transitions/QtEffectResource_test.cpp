// Effect records as 'QTFX' resources of a stack opened from memory: a stored record read back
// field for field with its description, new ids for records without one, descriptions from
// "QTDATA" when the record has none, and damaged resources giving the default record.
#include "cardview/transitions/QtEffectResource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files/FileLayerMemory.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "cardview/transitions/QtEffectState.h"
#include "format/ResFile.h"
#include "tests/support/MemoryFiles.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr char kStackPath[] = "C:\\Stacks\\Effects.stk";

std::vector<std::string> g_asked;
Handle QtData(const std::string& name) {
    g_asked.push_back(name);
    return name == "dslv" ? NewHandleFromBytes(Bytes{'D', 'S'}) : 0;
}

// An empty stack file: the header, 100 bytes of cards, no resources.
Bytes EmptyStack() {
    Bytes file;
    ByteWriter w(file);
    w.Zeros(60);
    w.U32BE(228);
    w.U32BE(0);
    w.U16BE(0);
    w.Zeros(128 - 70 + 100);
    return file;
}

class QtEffectResourceTest : public MemoryFilesTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MemoryFilesTest::SetUp());
        SetFileSpecFromPath(kSlotCurrentStack, kStackPath);
        SetResLoad(true);
        SetResourceErrorReporting(false);
        PutMemoryFile(kStackPath, EmptyStack());
        const int32_t ref = OpenResFileAt(GetFileSpec(kSlotCurrentStack), 228);
        ASSERT_NE(ref, 0);
        SetStackResFile(ref);
        SetQtDataSource(QtData);
        g_asked.clear();
        ClearCardChanged();
    }
    void TearDown() override {
        SetQtDataSource(nullptr);
        CloseAllResFiles();
        SetResourceErrorReporting(true);
        MemoryFilesTest::TearDown();
    }
    // Stores raw bytes as 'QTFX' id.
    static void Store(uint16_t id, const Bytes& bytes) {
        ResRequest request{kQtfx, id, 0, NewHandleFromBytes(bytes), kResRequestCarryOut, {}, 0, 0};
        ASSERT_EQ(WriteStackResource(&request), 1);
        ASSERT_EQ(request.id, id);
    }
};

TEST_F(QtEffectResourceTest, WrittenRecordsReadBackWithTheirDescription) {
    QtEffectRecord record;
    record.code = FourCharCode("push");
    SetQtEffectRecordName(&record, "Push");
    SetQtEffectTiming(&record, 12, 12, 12, 10);
    record.description = NewHandleFromBytes(Bytes{1, 2, 3});
    const int16_t id = WriteQTEffectRecord(&record, 0);
    EXPECT_GT(id, 0) << "a new id";
    EXPECT_EQ(record.id, id);
    EXPECT_TRUE(IsCardChanged());
    const Bytes stored = HandleToBytes(GetResource(kQtfx, static_cast<uint16_t>(id)));
    ASSERT_EQ(stored.size(), 118u);
    EXPECT_EQ(GetBE32(stored, 0), FourCharCode("push"));
    EXPECT_EQ(GetBE32(stored, 52), 10u << 16);
    EXPECT_EQ(GetBE32(stored, 108), 3u);

    QtEffectRecord back;
    back.description = NewHandleFromBytes(Bytes{9});  // disposed of by the load
    LoadQTEffectRecord(&back, id);
    EXPECT_EQ(PackQtEffectFields(back, std::vector<uint8_t>{1, 2, 3}), stored) << "every field back";
    EXPECT_EQ(HandleToBytes(back.description), (Bytes{1, 2, 3}));
    EXPECT_TRUE(g_asked.empty()) << "the resource's own description";

    // Written again under a chosen id.
    EXPECT_EQ(WriteQTEffectRecord(&back, 300), 300);
    EXPECT_EQ(GetBE16(HandleToBytes(GetResource(kQtfx, 300)), 4), 300);
    DisposeQtEffectRecord(&record);
    DisposeQtEffectRecord(&back);
}

TEST_F(QtEffectResourceTest, MissingDamagedAndEmptyDescriptionsFallBack) {
    QtEffectRecord record;
    record.code = FourCharCode("smpt");
    SetQtEffectRecordName(&record, "Edge Wipe");
    Bytes noDescription = PackQtEffectFields(record, {});
    Store(40, noDescription);
    Bytes damaged = noDescription;
    SetBE32(damaged, 108, 5000);  // longer than the resource
    Store(41, damaged);
    Store(42, Bytes(50, 0x11));  // short

    QtEffectRecord loaded;
    LoadQTEffectRecord(&loaded, 40);
    EXPECT_EQ(loaded.code, FourCharCode("smpt"));
    EXPECT_EQ(g_asked, (std::vector<std::string>{"smptEdgeWipe", "smpt"})) << "QTDATA by code and name, then code";
    EXPECT_EQ(loaded.description, 0) << "neither exists";

    for (int16_t id : {int16_t{41}, int16_t{42}, int16_t{43}, int16_t{0}, int16_t{-3}}) {
        g_asked.clear();
        LoadQTEffectRecord(&loaded, id);
        const QtEffectRecord fallback = DefaultQtEffectRecord();
        EXPECT_EQ(PackQtEffectFields(loaded, {}), PackQtEffectFields(fallback, {})) << "id " << id;
        EXPECT_EQ(HandleToBytes(loaded.description), (Bytes{'D', 'S'})) << "id " << id;
    }
    // A record without a description takes it from QTDATA before it is written.
    QtEffectRecord fresh;
    ASSERT_GT(WriteQTEffectRecord(&fresh, 0), 0);
    const Bytes stored = HandleToBytes(GetResource(kQtfx, static_cast<uint16_t>(fresh.id)));
    EXPECT_EQ(GetBE32(stored, 108), 2u);
    EXPECT_EQ(stored[112], 'D');
    DisposeQtEffectRecord(&loaded);
    DisposeQtEffectRecord(&fresh);
}

}  // namespace
