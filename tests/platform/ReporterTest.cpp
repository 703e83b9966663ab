#include "platform/Reporter.h"

#include <gtest/gtest.h>

using namespace zavora;

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
        }
        warningBox("Can't insert bitmap %s", "x.bmp");
        ASSERT_EQ(outer.messages().size(), 1u);
        EXPECT_EQ(outer.messages()[0].kind, Reporter::Kind::Warning);
    }
    EXPECT_EQ(&reporter(), before);
}
