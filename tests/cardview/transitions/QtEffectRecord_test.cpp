// Effect records: the byte-exact 'QTFX' layout both ways, refused lengths, the name's zero,
// description names and timing limits; and the effect state over a recording storage and
// description source: selection, the listed effects and their list numbers.
#include "cardview/transitions/QtEffectRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "cardview/transitions/QtEffectState.h"
#include "quicktime/QtAtoms.h"

namespace {

using Bytes = std::vector<uint8_t>;

QtEffectRecord Sample() {
    QtEffectRecord r;
    r.code = FourCharCode("smpt");
    r.id = 1234;
    SetQtEffectRecordName(&r, "Wipe");
    SetQtEffectTiming(&r, 24, 36, 48, 10);
    r.flag1 = 1;
    r.flag2 = 0;
    for (int i = 0; i < 32; ++i)
        r.further[i] = static_cast<uint8_t>(0xA0 + i);
    return r;
}

TEST(QtEffectRecord, PacksEveryFieldBigEndianAtItsOffset) {
    const Bytes description = {1, 2, 3, 4, 5};
    const Bytes b = PackQtEffectFields(Sample(), description);
    ASSERT_EQ(b.size(), 120u) << "112 + 5, then three zero bytes";
    EXPECT_EQ(GetBE32(b, 0), FourCharCode("smpt"));
    EXPECT_EQ(GetBE16(b, 4), 1234);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[6])), "Wipe");
    EXPECT_EQ(b[39], 0);
    EXPECT_EQ(GetBE32(b, 40), 24u);
    EXPECT_EQ(GetBE32(b, 44), 36u);
    EXPECT_EQ(GetBE32(b, 48), 48u);
    EXPECT_EQ(GetBE32(b, 52), 10u << 16) << "the rate as 16.16";
    EXPECT_EQ(GetBE32(b, 56), 1u);
    EXPECT_EQ(GetBE32(b, 60), 0u);
    EXPECT_EQ(GetBE32(b, 64), 0u) << "working values cleared with the timing";
    EXPECT_EQ(GetBE32(b, 72), 36u) << "the copy of the duration";
    EXPECT_EQ(b[76], 0xA0);
    EXPECT_EQ(b[107], 0xBF);
    EXPECT_EQ(GetBE32(b, 108), 5u);
    EXPECT_EQ(Bytes(b.begin() + 112, b.begin() + 117), description);
    EXPECT_EQ(Bytes(b.begin() + 117, b.end()), Bytes(3, 0));
    EXPECT_EQ(PackQtEffectFields(Sample(), Bytes(4, 9)).size(), 118u) << "even length: two zero bytes";

    QtEffectRecord back;
    std::span<const uint8_t> d;
    ASSERT_EQ(UnpackQtEffectFields(b, &back, &d), QtfxRefusal::None);
    EXPECT_EQ(Bytes(d.begin(), d.end()), description);
    EXPECT_EQ(back.code, FourCharCode("smpt"));
    EXPECT_EQ(back.id, 1234);
    EXPECT_EQ(QtEffectName(back), "Wipe");
    EXPECT_EQ(back.rate, 10);
    EXPECT_EQ(back.flag2, 0);
    EXPECT_EQ(back.further, Sample().further);
    EXPECT_EQ(back.descriptionLength, 5u);
    EXPECT_EQ(back.trailing, 0x0102);
    EXPECT_EQ(PackQtEffectFields(back, d), b) << "read and written again, byte for byte";
}

TEST(QtEffectRecord, RefusesShortBytesAndDescriptionsPastTheEnd) {
    Bytes b = PackQtEffectFields(Sample(), Bytes(20, 7));
    QtEffectRecord poisoned = Sample();
    poisoned.id = -7;
    std::span<const uint8_t> d;
    EXPECT_EQ(UnpackQtEffectFields({b.data(), 111}, &poisoned, &d), QtfxRefusal::Short);
    SetBE32(b, 108, 0x7FFFFFF0);
    EXPECT_EQ(UnpackQtEffectFields(b, &poisoned, &d), QtfxRefusal::DescriptionTooLong);
    SetBE32(b, 108, static_cast<uint32_t>(b.size() - 112 + 1));
    EXPECT_EQ(UnpackQtEffectFields(b, &poisoned, &d), QtfxRefusal::DescriptionTooLong);
    EXPECT_EQ(poisoned.id, -7) << "a refused record is left alone";
    EXPECT_TRUE(d.empty());
    // A name that fills all 34 bytes is cut so that it stays terminated.
    Bytes full = PackQtEffectFields(Sample(), {});
    std::fill(full.begin() + 6, full.begin() + 40, 'x');
    QtEffectRecord named;
    ASSERT_EQ(UnpackQtEffectFields(full, &named, &d), QtfxRefusal::None);
    EXPECT_EQ(QtEffectName(named), std::string(33, 'x'));
}

TEST(QtEffectRecord, DescriptionNamesTimingLimitsAndListedCodes) {
    EXPECT_EQ(QtEffectDescriptionName(FourCharCode("smpt"), "Edge Wipe"), "smptEdgeWipe");
    EXPECT_EQ(QtEffectDescriptionName(FourCharCode("dslv"), ""), "dslv");
    EXPECT_EQ(QtEffectDescriptionName(FourCharCode("xplo"), "A very long effect name with many words"),
              "xploAverylongeffectnamewithmany");
    for (auto [in, out] : {std::pair{200, 120}, {3, 6}, {30, 30}, {-4, 6}})
        EXPECT_EQ(ClampQtEffectTiming(in), out) << in;
    for (uint32_t code : kListedQtEffectCodes)
        EXPECT_TRUE(IsListedQTEffectCode(code));
    EXPECT_FALSE(IsListedQTEffectCode(FourCharCode("blur")));
}

// ---- the effect state ----

struct Recorder {
    std::vector<std::string> dataAsked;
    std::vector<int16_t> loaded;
    std::vector<int16_t> written;
} g_rec;

Handle Data(const std::string& name) {
    g_rec.dataAsked.push_back(name);
    if (name == "dslv" || name == "smptWipe")
        return NewHandleFromBytes(Bytes{'d', uint8_t(name.size())});
    return 0;
}
void Load(QtEffectRecord* r, int16_t id) {
    g_rec.loaded.push_back(id);
    *r = DefaultQtEffectRecord();
    if (id == 5) {
        r->id = 5;
        r->code = FourCharCode("smpt");
        SetQtEffectRecordName(r, "Wipe");
    }
}
int16_t Write(QtEffectRecord* r, int16_t id) {
    g_rec.written.push_back(id);
    r->id = id > 0 ? id : 77;
    return r->id;
}
std::vector<uint8_t> List() {
    std::vector<uint8_t> list;
    const std::pair<const char*, const char*> effects[] = {
        {"Cross Fade", "dslv"}, {"Blur", "blur"}, {"Wipe", "smpt"}, {"Push", "push"}};
    uint32_t id = 1;
    for (auto [name, code] : effects) {
        AppendQtAtom(&list, QtAtomType("name"), id, {reinterpret_cast<const uint8_t*>(name), std::strlen(name)});
        AppendQtAtomU32(&list, QtAtomType("type"), id, QtAtomReadBE32({reinterpret_cast<const uint8_t*>(code), 4}, 0));
        ++id;
    }
    return list;
}

class QtEffectStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        g_rec = {};
        SetQtDataSource(Data);
        SetQtEffectStorage({Load, Write});
        SetQtEffectListFetcher(List);
    }
    void TearDown() override {
        QTEffectStateDispose();
        SetQtDataSource(nullptr);
        SetQtEffectStorage({nullptr, nullptr});
        SetQtEffectListFetcher(nullptr);
    }
};

TEST_F(QtEffectStateTest, SelectsListsAndNumbersTheListedEffects) {
    // Without the state every query answers nothing.
    EXPECT_FALSE(QTSelectEffect(5));
    EXPECT_EQ(QTCurrentEffectRecord(), nullptr);
    EXPECT_EQ(QTEffectChoiceCount() + QTSaveEffectRecord(3, true), 0);
    EXPECT_EQ(QTFindEffectByName("Wipe"), -1);
    EXPECT_TRUE(g_rec.loaded.empty());
    QTEffectStateInit();
    EXPECT_EQ(QTEffectChoiceCount(), 10);
    EXPECT_TRUE(QTSelectEffect(5));
    EXPECT_TRUE(QTSelectEffect(5)) << "current already: not loaded again";
    EXPECT_EQ(g_rec.loaded, (std::vector<int16_t>{5}));
    EXPECT_EQ(QTGetCurrentEffectId(), 5);
    EXPECT_FALSE(QTSelectEffect(9)) << "no such record: the default one is current";
    EXPECT_EQ(QTCurrentEffectRecord()->code, kQtEffectDissolve);

    // "Blur" is installed but not among the ten codes.
    const auto& listed = QTListedEffects();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[1].name, "Wipe");
    EXPECT_EQ(QTFindEffectByName("Wipe"), 29);
    EXPECT_EQ(QTFindEffectByName("wIPE"), 29) << "case does not count";
    EXPECT_EQ(QTFindEffectByName("Wipes"), -1);
    char name[16] = {};
    EXPECT_EQ(QTGetEffectName(30, name, sizeof name), 1);
    EXPECT_STREQ(name, "Push");
    EXPECT_EQ(QTGetEffectName(31, name, sizeof name) + QTGetEffectName(27, name, sizeof name), 0);

    // The third list entry after the 27 transitions: "Wipe", its description by code and name.
    g_rec.dataAsked.clear();
    QTSetEffectFromTransition(28);
    QtEffectRecord* current = QTCurrentEffectRecord();
    EXPECT_EQ(current->code, FourCharCode("smpt"));
    EXPECT_EQ(QtEffectName(*current), "Wipe");
    EXPECT_EQ(g_rec.dataAsked, (std::vector<std::string>{"smptWipe"}));
    EXPECT_EQ(HandleToBytes(current->description), (Bytes{'d', 8}));
    // Push has no description of its own name: the code alone is tried next.
    g_rec.dataAsked.clear();
    QTSetEffectFromTransition(29);
    EXPECT_EQ(g_rec.dataAsked, (std::vector<std::string>{"pushPush", "push"}));
    EXPECT_EQ(QtEffectDescriptionBytes(current), Bytes{}) << "none found";

    QTSetEffectParams(12, 18, 24, 10);
    EXPECT_EQ(current->durationCopy, 18);
    EXPECT_EQ(QTSaveEffectRecord(0, false), 0);
    EXPECT_EQ(QTSaveEffectRecord(0, true), 77);
    EXPECT_EQ(g_rec.written, (std::vector<int16_t>{0}));
}

TEST(QtEffectList, SurvivesDamage) {
    Bytes list = List();
    list.resize(list.size() - 3);  // the last atom cut short
    EXPECT_EQ(ParseQtEffectList(list).size(), 2u);
    EXPECT_TRUE(ParseQtEffectList(Bytes(11, 0xFF)).empty());
}

}  // namespace
