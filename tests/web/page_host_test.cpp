#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/gs/gs.h"
#include "console/host.h"
#include "ps2/libpad.h"
#include "web/page_host.h"
#include "web/page_picture.h"

namespace {

struct Quiet final : console::Host {
    void field(const console::Field&) override {}
    void message(std::string_view) override {}
};

TEST(PagePicture, DoublesEachLineAsOpaqueRgba)
{
    console::Picture field;
    field.width = 2;
    field.height = 2;
    field.pixels = {0x00332211, 0x80665544, 0xFF998877, 0x12CCBBAA};
    std::vector<std::uint8_t> rgba;
    web::LineDoubled(field, rgba);
    const std::vector<std::uint8_t> want = {
        0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66, 0xFF, // line 0
        0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66, 0xFF, // line 0 again
        0x77, 0x88, 0x99, 0xFF, 0xAA, 0xBB, 0xCC, 0xFF, // line 1
        0x77, 0x88, 0x99, 0xFF, 0xAA, 0xBB, 0xCC, 0xFF,
    };
    EXPECT_EQ(rgba, want);
}

class PageHostTest : public testing::Test {
protected:
    Quiet quiet;
    gs::Gs gs{quiet};
    std::vector<std::string> messages;
    web::PageHost host{[this](std::string_view text) { messages.emplace_back(text); }};

    void fields(std::uint64_t from, std::uint64_t to)
    {
        for (std::uint64_t i = from; i < to; ++i) host.field(console::Field(i, gs));
    }
};

TEST_F(PageHostTest, ShowsTheNewestFieldAndCountsTheOnesItCouldNot)
{
    EXPECT_EQ(host.take(), nullptr);
    fields(0, 1);
    const auto* first = host.take();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(host.width(), 640u);
    EXPECT_EQ(first->size(), std::size_t{host.width()} * host.height() * 4);
    EXPECT_EQ(host.take(), nullptr); // drawn already
    // Three fields before the page's next turn: it shows the last and could not show two.
    fields(1, 4);
    ASSERT_NE(host.take(), nullptr);
    EXPECT_EQ(host.shownField(), 3u);
    EXPECT_EQ(host.fields(), 4u);
    EXPECT_EQ(host.shown(), 2u);
    EXPECT_EQ(host.notShown(), 2u);
}

TEST_F(PageHostTest, HoldsAfterTheChosenFieldWithItOnShow)
{
    host.holdAfter(5);
    fields(0, 5);
    EXPECT_FALSE(host.holding());
    fields(5, 6);
    EXPECT_TRUE(host.holding());
    ASSERT_NE(host.take(), nullptr);
    EXPECT_EQ(host.shownField(), 5u);
}

TEST_F(PageHostTest, WithoutPicturesOnlyCounts)
{
    host.showPictures(false);
    fields(0, 10);
    EXPECT_EQ(host.take(), nullptr);
    EXPECT_EQ(host.fields(), 10u);
    EXPECT_EQ(host.notShown(), 0u);
}

TEST_F(PageHostTest, PassesMessagesAndKeysOn)
{
    host.message("GS: something");
    EXPECT_EQ(messages, std::vector<std::string>{"GS: something"});
    EXPECT_TRUE(host.keys().press("KeyX", true));
    EXPECT_EQ(host.controllerInput().buttons, PAD_CROSS);
}

TEST(PageKeys, HoldTheDesktopWindowsControllerKeys)
{
    web::PageKeys keys;
    EXPECT_FALSE(keys.press("KeyQ", true));
    EXPECT_FALSE(keys.press("Space", true)); // the page's pause key, not the controller's
    EXPECT_TRUE(keys.press("ArrowLeft", true));
    EXPECT_TRUE(keys.press("ArrowUp", true));
    EXPECT_TRUE(keys.press("Enter", true));
    EXPECT_TRUE(keys.press("Minus", true));
    pad::Input input = keys.input();
    EXPECT_EQ(input.buttons, PAD_LEFT | PAD_UP | PAD_START | PAD_L1);
    // The arrows push the left stick; the right one rests.
    EXPECT_EQ(input.leftX, 0);
    EXPECT_EQ(input.leftY, 0);
    EXPECT_EQ(input.rightX, 128);
    keys.press("ArrowLeft", false);
    keys.press("Enter", false);
    input = keys.input();
    EXPECT_EQ(input.buttons, PAD_UP | PAD_L1);
    EXPECT_EQ(input.leftX, 128);
    keys.releaseAll();
    EXPECT_EQ(keys.input().buttons, 0);
    EXPECT_EQ(keys.input().leftY, 128);
}

} // namespace
