#include "platform/DebugLog.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

using namespace zavora;

TEST(DebugLog, EmptiesItselfWhenFullAndKeepsOrder)
{
    DebugLog& log = DebugLog::instance();
    log.setEchoToStderr(false);
    log.clear();
    for (int i = 0; i < 1000; ++i)
        debugLog("line %d", i);
    ASSERT_EQ(log.lines().size(), 1000u);
    EXPECT_EQ(log.lines().front(), "line 0");
    EXPECT_EQ(log.lines().back(), "line 999");
    debugLog("Unknown menu command %d", 7);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0], "Unknown menu command 7");
    log.clear();
    log.setEchoToStderr(true);
}

// Error texts are read by the output stream tests; here the nesting.
TEST(Reporter, RecordsExactTextsAndRestoresPrevious)
{
    Reporter* before = &reporter();
    {
        RecordingReporter outer;
        {
            RecordingReporter inner;
            setStatus("%d %s selected", 3, "objects");
            EXPECT_EQ(inner.last(Reporter::Kind::Status), "3 objects selected");
            EXPECT_EQ(inner.last(Reporter::Kind::Warning), "");
        }
        warningBox("Can't insert bitmap %s", "x.bmp");
        ASSERT_EQ(outer.messages().size(), 1u);
        EXPECT_EQ(outer.messages()[0].kind, Reporter::Kind::Warning);
    }
    EXPECT_EQ(&reporter(), before);
}
