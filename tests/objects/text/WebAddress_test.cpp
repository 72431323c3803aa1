// Finding the web address typed before the caret: where the word starts and which prefixes count.
#include "objects/text/WebAddress.h"

#include <gtest/gtest.h>

#include <string>

TEST(WebAddress, TheWordBeforeTheCaretBeginsAfterTheLastStopAndNeedsAPrefix) {
    EXPECT_EQ(FindWebAddressWord("see www.x.com"), "www.x.com");
    EXPECT_EQ(FindWebAddressWord("a <http:a>"), "http:a>");
    EXPECT_EQ(FindWebAddressWord("say \"ftp.site;mailto:me@x"), "mailto:me@x");
    EXPECT_EQ(FindWebAddressWord("line\r\nFTP:host"), "FTP:host") << "any case";
    EXPECT_EQ(FindWebAddressWord("tab\tHttp:x"), "Http:x");
    EXPECT_EQ(FindWebAddressWord("www.whole"), "www.whole") << "no stop: from the first character";
    EXPECT_EQ(FindWebAddressWord(" www.lead"), "") << "nor is a blank there: the word keeps it";
    EXPECT_EQ(FindWebAddressWord("<www.x"), "") << "the first character is never a stop";
    EXPECT_EQ(FindWebAddressWord("see wwwx.com"), "");
    EXPECT_EQ(FindWebAddressWord("see http"), "");
    EXPECT_EQ(FindWebAddressWord("see www.x.com "), "") << "ends in a stop: an empty word";
    EXPECT_EQ(FindWebAddressWord(""), "");
    EXPECT_TRUE(IsWhiteSpaceCharacter('\v') && IsWhiteSpaceCharacter('\f') && IsWhiteSpaceCharacter(' '));
    EXPECT_FALSE(IsWhiteSpaceCharacter(8) || IsWhiteSpaceCharacter(14) || IsWhiteSpaceCharacter(0xA0));
}
