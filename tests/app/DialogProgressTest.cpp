// The progress window: its owner disabled while it is up, the bar's
// percentage, and Cancel raising the flag the running job polls.
#include "DialogTestSupport.h"

#include "app/dialogs/ProgressWindow.h"

#include <QProgressBar>

#include <gtest/gtest.h>

#include <tuple>

namespace zavora {
namespace {

using namespace dialogtest;

TEST(DialogProgress, ShowsProgressWithItsOwnerDisabledAndCancelRaisesTheFlag)
{
    ensureApplication();
    QWidget owner;
    owner.show();
    ProgressWindow progress;
    progress.open(&owner);
    ASSERT_TRUE(progress.isOpen());
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(progress.dialog()->isEnabled());
    auto* bar = child<QProgressBar>(*progress.dialog(), "bar");
    for (auto [total, steps, percent] : { std::tuple { 3, 1, 33 }, { 0, 1, 100 }, { 4, 2, 50 } }) {
        progress.start(total); // a total of 0 counts as 1
        for (int i = 0; i < steps; ++i)
            progress.step();
        EXPECT_EQ(bar->value(), percent) << total;
    }
    EXPECT_FALSE(progress.cancelled());

    QTest::mouseClick(child<QAbstractButton>(*progress.dialog(), "cancel"), Qt::LeftButton);
    EXPECT_TRUE(progress.cancelled());
    EXPECT_FALSE(progress.isOpen());
    EXPECT_TRUE(owner.isEnabled());
    // The job keeps stepping until it notices; that must be harmless.
    progress.step();
    progress.setMessage("Processing...");

    // The next job starts uncancelled.
    progress.open(&owner);
    EXPECT_FALSE(progress.cancelled());
    progress.close();
    EXPECT_TRUE(owner.isEnabled());
}

} // namespace
} // namespace zavora
