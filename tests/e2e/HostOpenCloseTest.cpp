// The host opens the browser again and again; each opening ends with
// exactly one UM_BROWSE_EXIT carrying wParam 3.
#include <gtest/gtest.h>

#include "HostProcess.h"

namespace {

TEST(HostOpenClose, EachOpeningPostsExactlyOneExitMessage)
{
    HostProcess host;
    ASSERT_TRUE(host.Start("--open --open-count 5 --quit-after-close"));
    ASSERT_TRUE(host.WaitForExit(60000)) << "host did not finish";
    EXPECT_EQ(0u, host.ExitCode());
    EXPECT_EQ(5, host.CountLines("load 1"));
    EXPECT_EQ(5, host.CountLines("exit 3 0"));
    EXPECT_EQ(10u, host.LogLines().size());
}

}  // namespace
