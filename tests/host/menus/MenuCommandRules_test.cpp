// The number rules of the menu commands: context-menu numbers and the preparations each
// command needs.
#include <gtest/gtest.h>

#include "host/menus/MenuCommandRules.h"

TEST(MenuCommandRules, ContextMenuNumbersBecomeCommands) {
    const struct { int raw, command; } cases[] = {
        {15870, 69}, {15868, 67}, {15850, 49}, {15874, 73}, {15560, 10}, {15849, 299},
        {15875, 325}, {16000, 16000}, {15549, 15549}, {204, 204},
    };
    for (auto c : cases)
        EXPECT_EQ(NormalizeMenuCommand(c.raw), c.command) << c.raw;
    EXPECT_TRUE(IsActionChoice(NormalizeMenuCommand(15870)));
    EXPECT_FALSE(IsActionChoice(NormalizeMenuCommand(15874)));
}

TEST(MenuCommandRules, EachExceptionListHoldsExactlyItsCommands) {
    // Every command from 0 to 1400 and a few filters, against the lists as sets.
    const auto in = [](int c, std::initializer_list<CommandRange> ranges) {
        for (auto r : ranges)
            if (c >= r.first && c <= r.last)
                return true;
        return false;
    };
    for (int c = 0; c <= 16010; c = c == 1400 ? 16000 : c + 1) {
        EXPECT_EQ(EndsTextEdits(c), !in(c, {{104, 105}, {108, 109}, {150, 154}, {311, 311}, {359, 360},
                                           {400, 400}, {600, 600}, {1100, 1381}}))
            << c;
        const bool kept = in(c, {{0, 0}, {108, 109}, {150, 152}, {154, 154}, {300, 300}, {304, 305},
                                 {311, 311}, {359, 360}, {365, 365}, {600, 600}, {701, 701}, {1100, 1381}});
        const bool pictureWork = in(c, {{160, 162}, {362, 362}, {366, 366}}) || c >= 16000;
        EXPECT_EQ(DeselectsObject(c, false), !kept) << c;
        EXPECT_EQ(DeselectsObject(c, true), !kept && !pictureWork) << c;
        EXPECT_EQ(CommitsSelections(c), c < 16000 && !in(c, {{150, 152}, {154, 154}, {300, 300}, {365, 365},
                                                             {160, 162}, {362, 362}, {366, 367}}))
            << c;
        const bool leaves = in(c, {{100, 101}, {104, 104}, {106, 106}, {155, 155}, {500, 502}, {157, 159},
                                   {200, 207}, {306, 308}, {310, 311}});
        EXPECT_EQ(LeavesMagnifiedView(c), leaves) << c;
        EXPECT_EQ(StopsMediaFirst(c), in(c, {{306, 308}, {311, 311}, {301, 301}, {303, 303}})) << c;
    }
    int leaving = 0;
    for (int c = 0; c < 16000; ++c)
        leaving += LeavesMagnifiedView(c);
    EXPECT_EQ(leaving, 24);
}
