// The stack report's timers: a button's and an 'Actn' resource's mode and value as stored.
#include <string>

#include "stack/cards/StackDescribe.h"
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

class StackDescribeTest : public StackFileTest {};

TEST_F(StackDescribeTest, ButtonsAndActionResourcesShowTheirTimers) {
    sb::Object timed = sb::Button(1, {0, 0, 20, 10}, "timed");
    sb::SetTimer(timed, 3, kTimerOnce);
    sb::Object action = sb::Button(130, {0, 0, 0, 0}, "");
    sb::SetTimer(action, kTimerTenths + 5, kTimerRepeating);
    sb::Stack s;
    s.cards = {sb::PlainCard(1)};
    s.cards[0].objects = {timed, sb::Button(2, {0, 20, 20, 30}, "plain")};
    s.resources.push_back({"Actn", 130, "", 0, 0, sb::ActionRecord(action)});
    s.nextResourceId = 131;
    const std::string json = DescribeStackJson(sb::BuildStack(s).bytes, StackConversion{});
    EXPECT_NE(json.find("\"name\":\"timed\",\"timer\":[1,3],\"chunks\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"name\":\"plain\",\"timer\":[0,0],\"chunks\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"raw\":false,\"timer\":[2,4101]}"), std::string::npos) << json;
}

}  // namespace
