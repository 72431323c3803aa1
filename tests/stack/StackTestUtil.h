// Shared pieces of the stack-file tests: a fixture that checks no handle is left behind, and
// readers of host-order records.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "format/StackReader.h"

namespace stacktest {

namespace sb = stackbuilder;

class StackFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitMemRefs()); }
    void TearDown() override {
        EXPECT_EQ(MemRefsCount(), 0) << "handles left behind";
        FreeMemRefs();
    }
};

// The objects of a host-order card record, in list order.
inline std::vector<std::vector<uint8_t>> CardObjects(std::span<const uint8_t> card) {
    std::vector<std::vector<uint8_t>> objects;
    CardObjectWalk walk(card);
    ObjectPlace place;
    while (walk.Next(place))
        objects.emplace_back(card.begin() + place.offset, card.begin() + place.offset + place.length);
    if (walk.Position() + kCardTrailerBytes != card.size() && GetU16(card, walk.Position()) != 0)
        ADD_FAILURE() << "object at " << walk.Position() << " does not fit";
    return objects;
}

// The chunks of a host-order button record.
inline std::vector<std::vector<uint8_t>> ButtonChunks(std::span<const uint8_t> button) {
    std::vector<std::vector<uint8_t>> chunks;
    ButtonChunkWalk walk(button);
    ObjectPlace chunk;
    while (walk.Next(chunk))
        chunks.emplace_back(button.begin() + chunk.offset, button.begin() + chunk.offset + chunk.length);
    return chunks;
}

// A length-prefixed text of a record as a string.
inline std::string PStringAt(std::span<const uint8_t> r, size_t offset) {
    if (offset >= r.size())
        return {};
    size_t n = std::min<size_t>(r[offset], r.size() - offset - 1);
    return std::string(r.begin() + static_cast<std::ptrdiff_t>(offset + 1),
                       r.begin() + static_cast<std::ptrdiff_t>(offset + 1 + n));
}

// A zero-terminated text of a record as a string.
inline std::string CStringAt(std::span<const uint8_t> r, size_t offset) {
    std::string s;
    for (size_t i = offset; i < r.size() && r[i] != 0; ++i)
        s += static_cast<char>(r[i]);
    return s;
}

// A card record built alone, converted to host order.
inline std::vector<uint8_t> HostCard(const sb::Card& card, const sb::Stack& stack,
                                     StackConversion& cv, DropLog* drops = nullptr) {
    std::vector<uint8_t> bytes = sb::BuildCardRecord(card, stack);
    EXPECT_EQ(SwapCardRecordBytes(bytes, ByteOrder::ToHost, cv, drops), kStackOk);
    return bytes;
}

// One object record built alone, converted to host order.
inline std::vector<uint8_t> HostObject(const sb::Object& object, const StackConversion& cv = {}) {
    std::vector<uint8_t> bytes = sb::BuildObjectRecord(object);
    const char* reason = nullptr;
    EXPECT_EQ(ConvertObjectRecord(bytes, ByteOrder::ToHost, cv, &reason), kStackOk)
        << (reason ? reason : "");
    return bytes;
}

}  // namespace stacktest
