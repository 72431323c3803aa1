// The one table of the host requests: a request that waits under an editor and takes a pointer
// or a handle has what those name copied when it is kept (else the module frees it and the
// request, made later, reads freed memory); a refused one tells the module it failed; codes
// without a row do nothing under an editor as outside one.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/requests/RequestTable.h"

namespace {

TEST(RequestTable, EveryWaitingRowThatTakesAPointerOrAHandleHasAKeeper) {
    int rows = 0;
    for (const RequestRow& row : RequestRows()) {
        const int code = static_cast<int>(row.code);
        ++rows;
        EXPECT_NE(row.handler, nullptr) << code;
        EXPECT_EQ(RequestRowOf(code), &row) << code;
        const bool takesPointers = std::ranges::any_of(row.pointers, [](BlockField f) { return f != nullptr; });
        if (row.rule == GuardedRequest::kWaits && takesPointers) {
            EXPECT_NE(row.keep, ArgumentKeeper::kNothing) << "request " << code << " waits without its arguments";
        }
        if (row.rule != GuardedRequest::kWaits) {
            EXPECT_EQ(row.keep, ArgumentKeeper::kNothing) << "request " << code << " keeps what it never needs";
        }
        if (row.rule == GuardedRequest::kRefused) {
            EXPECT_NE(row.answer, HeldAnswer::kNothing) << "request " << code << " is refused without a failure's answer";
        }
    }
    EXPECT_EQ(rows, 118) << "the named handlers";
    for (const uint8_t code : kRetiredRequestCodes) {
        EXPECT_EQ(RequestRowOf(code), nullptr) << int{code};
    }
    for (const int code : {-1, 0, 104, 191, 0x7FFF}) {
        EXPECT_EQ(RequestRowOf(code), nullptr) << code;
        EXPECT_EQ(GuardedRequestRule(code), GuardedRequest::kRuns) << code;
    }
}

}  // namespace
