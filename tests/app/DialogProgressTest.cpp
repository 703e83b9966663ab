// The progress window: its owner disabled while it is up, the bar's
// percentage, and Cancel raising the flag the running job polls.
#include "DialogTestSupport.h"

#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/ProgressWindow.h"

#include <QLabel>
#include <QProgressBar>

#include <gtest/gtest.h>

namespace zavora {
namespace {

using namespace dialogtest;

TEST(DialogProgress, ShowsProgressWithItsOwnerDisabled)
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
    EXPECT_EQ(child<QLabel>(*progress.dialog(), "text")->text(), "Working...");

    progress.start(3);
    progress.step();
    EXPECT_EQ(bar->value(), 33);
    progress.start(0); // a total of 0 counts as 1
    progress.step();
    EXPECT_EQ(bar->value(), 100);
    progress.start(4);
    progress.step();
    progress.step();
    EXPECT_EQ(bar->value(), 50);
    EXPECT_FALSE(progress.cancelled());

    progress.close();
    EXPECT_FALSE(progress.isOpen());
    EXPECT_TRUE(owner.isEnabled());
}

TEST(DialogProgress, CancelSetsTheFlagAndClosesTheWindow)
{
    ensureApplication();
    QWidget owner;
    owner.show();
    ProgressWindow progress;
    progress.open(&owner);
    progress.start(100);
    QTest::mouseClick(child<QAbstractButton>(*progress.dialog(), "cancel"), Qt::LeftButton);
    EXPECT_TRUE(progress.cancelled());
    EXPECT_TRUE(ProgressWindow::cancelFlag());
    EXPECT_FALSE(progress.isOpen());
    EXPECT_TRUE(owner.isEnabled());
    // The job keeps stepping until it notices; that must be harmless.
    progress.step();

    // The next job starts uncancelled.
    progress.open(&owner);
    EXPECT_FALSE(progress.cancelled());
    progress.close();
}

TEST(DialogProgress, AboutShowsTheProductName)
{
    ensureApplication();
    AboutDialog about(nullptr, "Zavora Draw");
    EXPECT_EQ(child<QLabel>(about, "product")->text(), "Zavora Draw");
    EXPECT_FALSE(child<QLabel>(about, "aboutbmp")->pixmap().isNull());
    EXPECT_EQ(runDialog(about, [&] { click(about, "ok"); }), 1);
}

} // namespace
} // namespace zavora
