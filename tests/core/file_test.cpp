#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/file.h"
#include "gfx/text_console.h"
#include "tests/support/console_glyphs.h"
#include "tests/support/demo_display.h"
#include "tests/support/temp_files.h"

namespace {

namespace fs = std::filesystem;

class FileTest : public testing_support::DemoDisplayTest {
protected:
    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        ConsoleSetCursor(0, 2);
        dir = testing_support::FreshDirectory();
        std::ofstream(dir / "ROBOT.MOD", std::ios::binary) << std::string(300, 'x');
        console.machine().iop().setHostDirectory(dir);
    }

    std::string Contents(const char* name) { return testing_support::ReadFile(dir / name); }

    fs::path dir;
};

TEST_F(FileTest, OpenTracesThePathAndOpensReadOnly)
{
    const int fd = OrbFileOpen("host:/ROBOT.MOD", 0);
    EXPECT_EQ(testing_support::GlyphText(testing_support::SentGlyphs(console)), "- OrbFileOpen :  -> host:/ROBOT.MOD ");
    ASSERT_GE(fd, 0);
    char byte = 0;
    EXPECT_EQ(OrbFileRead(fd, &byte, 1), 1);
    EXPECT_EQ(byte, 'x');
    EXPECT_LT(OrbFileWrite(fd, "y", 1), 0);
    EXPECT_EQ(OrbFileClose(fd), 0);
}

TEST_F(FileTest, AnyOtherModeTracesAndOpensNothing)
{
    EXPECT_EQ(OrbFileOpen("host:NEW", 2), 0);
    EXPECT_EQ(testing_support::GlyphText(testing_support::SentGlyphs(console)), "- OrbFileOpen :  -> host:NEW ");
    EXPECT_FALSE(fs::exists(dir / "NEW"));
    // Descriptor 0 was never opened.
    EXPECT_LT(OrbFileClose(0), 0);
}

TEST_F(FileTest, SizeLeavesThePositionWhereItWas)
{
    const int fd = OrbFileOpen("host:ROBOT.MOD", 0);
    char skipped[100];
    ASSERT_EQ(OrbFileRead(fd, skipped, 100), 100);
    EXPECT_EQ(OrbFileSize(fd), 300);
    char rest[300];
    EXPECT_EQ(OrbFileRead(fd, rest, 300), 200);
    OrbFileClose(fd);
}

TEST_F(FileTest, WriteModeCreatesAndDoesNotTruncate)
{
    int fd = OrbFileOpen("host:ROBOT.MOD", 1);
    EXPECT_EQ(OrbFileWrite(fd, "abc", 3), 3);
    OrbFileClose(fd);
    EXPECT_EQ(Contents("ROBOT.MOD"), "abc" + std::string(297, 'x'));
    fd = OrbFileOpen("host:/saves/../NEW.TXT", 1);
    EXPECT_EQ(OrbFileWrite(fd, "new", 3), 3);
    OrbFileClose(fd);
    EXPECT_EQ(Contents("NEW.TXT"), "new");
}

TEST_F(FileTest, PathsThatLeaveTheHostDirectoryAreRefused)
{
    std::ofstream(dir.parent_path() / "orb-file-test-outside", std::ios::binary) << "secret";
    EXPECT_LT(OrbFileOpen("host:../orb-file-test-outside", 0), 0);
    EXPECT_LT(OrbFileOpen("host:/a/../../orb-file-test-outside", 1), 0);
    EXPECT_LT(OrbFileOpen("host:MISSING", 0), 0);
    EXPECT_LT(OrbFileSize(-2), 0);
}

} // namespace
