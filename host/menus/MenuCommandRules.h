// Which preparations a command needs before it runs: the number rules of DoMenuCommand, kept
// here as plain tables so that they can be checked without windows.
#pragma once

#include <algorithm>
#include <array>
#include <span>

// Context-menu numbers come in offset: 15850-15874 are the action choices 49-73, the rest of
// 15550 to below 16000 lose 15550.
constexpr int NormalizeMenuCommand(int command) {
    if (command >= 15850 && command <= 15874)
        return command - 15850 + 49;
    if (command >= 15550 && command < 16000)
        return command - 15550;
    return command;
}

// New Stack, Open, Save and Save As need only the stack: chosen under an editor they wait for it
// to end and are then done on the same stack; every other command of the menu bar is not offered
// meanwhile.
constexpr bool NeedsOnlyTheStack(int command) { return command >= 100 && command <= 103; }

// Action choices run with the edits in progress left alone.
constexpr bool IsActionChoice(int command) { return command >= 49 && command <= 69; }

inline constexpr int kFirstFilterCommand = 16000;

struct CommandRange {
    int first;
    int last;
};

constexpr bool InRanges(int command, std::span<const CommandRange> ranges) {
    return std::any_of(ranges.begin(), ranges.end(),
                       [command](CommandRange r) { return command >= r.first && command <= r.last; });
}

// Commands that keep paint text and the active text field.
inline constexpr std::array<CommandRange, 9> kKeepTextEdits{{
    {104, 105}, {108, 109}, {150, 154}, {311, 311}, {359, 360}, {400, 400}, {600, 600},
    {1100, 1381}, {0, -1},
}};

// Commands that keep the selected object.
inline constexpr std::array<CommandRange, 12> kKeepSelectedObject{{
    {0, 0}, {108, 109}, {150, 152}, {154, 154}, {300, 300}, {304, 305}, {311, 311}, {359, 360},
    {365, 365}, {600, 600}, {701, 701}, {1100, 1381},
}};

// Commands that keep it only while it carries a picture (they work on that picture).
inline constexpr std::array<CommandRange, 3> kKeepObjectWithPicture{{{160, 162}, {362, 362}, {366, 366}}};

// Commands that leave the paint and mask selections open.
inline constexpr std::array<CommandRange, 4> kKeepSelections{{{150, 152}, {154, 154}, {300, 300}, {365, 365}}};

// Commands that work on the open selection itself.
inline constexpr std::array<CommandRange, 3> kWorkOnSelection{{{160, 162}, {362, 362}, {366, 367}}};

// Commands that first leave the magnified view.
inline constexpr std::array<CommandRange, 10> kLeaveMagnified{{
    {100, 101}, {104, 104}, {106, 106}, {155, 155}, {157, 159}, {200, 207}, {306, 308},
    {310, 311}, {500, 502}, {0, -1},
}};

// Commands that close the capture window and stop animations before an object is made or shown.
inline constexpr std::array<CommandRange, 4> kStopsMediaFirst{{{301, 301}, {303, 303}, {306, 308}, {311, 311}}};

constexpr bool EndsTextEdits(int raw) { return !InRanges(raw, kKeepTextEdits); }

constexpr bool DeselectsObject(int raw, bool objectHasPicture) {
    if (InRanges(raw, kKeepSelectedObject))
        return false;
    if (InRanges(raw, kKeepObjectWithPicture) || raw >= kFirstFilterCommand)
        return !objectHasPicture;
    return true;
}

// Below the filters only; the filters commit selections themselves.
constexpr bool CommitsSelections(int raw) {
    return raw < kFirstFilterCommand && !InRanges(raw, kKeepSelections) && !InRanges(raw, kWorkOnSelection);
}

constexpr bool LeavesMagnifiedView(int raw) { return InRanges(raw, kLeaveMagnified); }
constexpr bool StopsMediaFirst(int raw) { return InRanges(raw, kStopsMediaFirst); }
