// The fonts of a card's text: 200 style runs over a stack font table of 64 faces, each run's
// font found as drawing finds it (the program's table, read once when the stack opened), against
// the same lookups walking the stored table in place and reading the whole table for every run.
#include "objects/fonts/FontTable.h"
#include "stack/cards/FieldText.h"
#include "tools/stackbuilder/StackBuilder.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kFonts = 64, kRuns = 200, kRunLength = 12;

std::vector<uint8_t> SixtyFourFonts() {
    std::vector<stackbuilder::FontName> fonts;
    for (int i = 0; i < kFonts; ++i)
        fonts.push_back({static_cast<uint16_t>(1000 + 7 * i), "Face number " + std::to_string(i), i % 5 == 0});
    return stackbuilder::FontTable(fonts);
}

// The card's text entry scrap: every run in another font, spread over the whole table.
std::vector<uint8_t> TwoHundredRuns() {
    std::vector<StyleRun> runs(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        runs[i].start = i * kRunLength;
        runs[i].fontNumber = static_cast<int16_t>(1000 + 7 * (i * 37 % kFonts));
    }
    return WriteStyleScrap(runs);
}

// Reads the runs and finds each run's font with find; every run must find one.
template <typename Find>
void DrawCardFonts(benchmark::State& state, Find find) {
    const std::vector<uint8_t> table = SixtyFourFonts(), scrap = TwoHundredRuns();
    LoadFontTableBytes(table);
    for (auto _ : state) {
        int found = 0;
        for (const StyleRun& run : ReadStyleScrap(scrap, kRuns * kRunLength))
            found += find(table, static_cast<uint16_t>(run.fontNumber)) ? 1 : 0;
        if (found != kRuns)
            state.SkipWithError("a run's font is missing");
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kRuns);
    ResetFontTable();
}

void BM_CardRunsFromTheProgramTable(benchmark::State& state) {
    DrawCardFonts(state, [](const std::vector<uint8_t>&, uint16_t number) { return FindFontByNumber(number) != nullptr; });
}
BENCHMARK(BM_CardRunsFromTheProgramTable);

void BM_CardRunsWalkingTheStoredTable(benchmark::State& state) {
    DrawCardFonts(state, [](const std::vector<uint8_t>& table, uint16_t number) {
        FontEntry entry;
        return FindFontTableEntry(table, number, &entry);
    });
}
BENCHMARK(BM_CardRunsWalkingTheStoredTable);

void BM_CardRunsReadingTheTableForEachRun(benchmark::State& state) {
    DrawCardFonts(state, [](const std::vector<uint8_t>& table, uint16_t number) {
        for (const FontEntry& e : ReadFontTable(table))
            if (e.number == number)
                return true;
        return false;
    });
}
BENCHMARK(BM_CardRunsReadingTheTableForEachRun);

}  // namespace
