// The dialogs driven as a user would: fields filled in, OK or Cancel pressed,
// the values handed back and the refusals that keep a dialog open.
#include "DialogTestSupport.h"

#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/FontDialog.h"
#include "app/dialogs/PreferencesDialog.h"
#include "platform/Reporter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace zavora {
namespace {

using namespace dialogtest;

class DialogForms : public testing::Test {
protected:
    void SetUp() override { ensureApplication(); }
    RecordingReporter m_reporter;
};

TEST_F(DialogForms, CustomPaperOutsideTheLimitsIsRefused)
{
    PreferencesDialog dialog(nullptr);
    dialog.setPaper(612, 792);
    dialog.setUnits(1);
    EXPECT_FALSE(child<QLineEdit>(dialog, "width")->isEnabled());
    bool stayedOpen = false;
    std::string widthMessage, heightMessage;
    const int result = runDialog(dialog, [&] {
        click(dialog, "custom");
        retype(dialog, "width", "50");
        click(dialog, "ok");
        stayedOpen = dialog.isVisible();
        widthMessage = m_reporter.last(Reporter::Kind::Error);
        // Leaving the paper page is refused the same way.
        retype(dialog, "width", "800");
        retype(dialog, "height", "6000");
        child<QTabWidget>(dialog, "pages")->setCurrentIndex(1);
        heightMessage = m_reporter.last(Reporter::Kind::Error);
        EXPECT_EQ(child<QTabWidget>(dialog, "pages")->currentIndex(), 0);
        retype(dialog, "height", "900");
        child<QTabWidget>(dialog, "pages")->setCurrentIndex(1);
        click(dialog, "centimeters");
        click(dialog, "ok");
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(widthMessage, "Invalid width specified");
    EXPECT_EQ(heightMessage, "Invalid height specified");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog.paperHeight(), 900);
    EXPECT_EQ(dialog.units(), 2);
}

TEST_F(DialogForms, FontSizeAndNameAreChecked)
{
    FontDialog dialog(nullptr);
    dialog.setChoices(
        { { "Helvetica", "Nimbus Sans", false, false }, { "Times-Bold", "Nimbus Roman", true, false } });
    dialog.setFont("Helvetica", 12);
    auto* sizes = child<QComboBox>(dialog, "sizes");
    std::vector<std::string> errors;
    bool stayedOpen = true;
    const int result = runDialog(dialog, [&] {
        sizes->setCurrentText("300");
        click(dialog, "ok");
        errors.push_back(m_reporter.last(Reporter::Kind::Error));
        stayedOpen = stayedOpen && dialog.isVisible();
        sizes->setCurrentText("10.5");
        child<QComboBox>(dialog, "names")->setCurrentText("NoSuchFont");
        click(dialog, "ok");
        errors.push_back(m_reporter.last(Reporter::Kind::Error));
        stayedOpen = stayedOpen && dialog.isVisible();
        child<QComboBox>(dialog, "names")->setCurrentIndex(1);
        click(dialog, "ok");
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(errors,
        (std::vector<std::string> { "Font size must be between 1 and 250", "Can't find specified font" }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog.fontName(), "Times-Bold");
    EXPECT_EQ(dialog.size(), 10.5);
}

TEST_F(DialogForms, ColorDialogLinksModelsAndBoxes)
{
    ColorDialog dialog(nullptr);
    dialog.setColor({ 100, 0, 0 });
    auto value
        = [&](int i) { return child<QSpinBox>(dialog, ("value" + std::to_string(i)).c_str())->value(); };
    auto* fourth = child<QSpinBox>(dialog, "value4");
    runDialog(dialog, [&] {
        click(dialog, "cmyk");
        EXPECT_TRUE(fourth->isVisible());
        EXPECT_EQ((std::array { value(1), value(2), value(3), value(4) }), (std::array { 0, 100, 100, 0 }));
        // Typing CMYK (50, 0, 0, 60).
        for (auto [i, typed] : { std::pair { 1, 50 }, { 2, 0 }, { 3, 0 }, { 4, 60 } })
            child<QSpinBox>(dialog, ("value" + std::to_string(i)).c_str())->setValue(typed);
        click(dialog, "rgb");
        EXPECT_EQ((std::array { value(1), value(2), value(3) }), (std::array { 0, 40, 40 }));
        click(dialog, "ok");
    });
    EXPECT_EQ(dialog.color(), (Color { 0, 40, 40 }));
}

} // namespace
} // namespace zavora
