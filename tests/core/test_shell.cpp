// The target of a shell open request.
#include <gtest/gtest.h>

#include "core/shell.h"

TEST(ShellOpen, TheEnclosingQuotesGoAndNothingElse) {
    EXPECT_EQ(shellTarget("\"/srv/my bots/flash\""), "/srv/my bots/flash");
    EXPECT_EQ(shellTarget("https://example.org/voices"), "https://example.org/voices");
    EXPECT_EQ(shellTarget("\"unbalanced"), "\"unbalanced");
    EXPECT_EQ(shellTarget("\"\""), "");
    EXPECT_EQ(shellTarget("\"a \"b\" c\""), "a \"b\" c");
}
