#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/iop/iop.h"
#include "console/iop/linked_module.h"

namespace {

struct Messages : console::Log {
    void message(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

// A module built into the test: records its arguments, serves one RPC id, stays resident.
std::vector<std::string> Arguments;
int Stops = 0;
const IopServices* Services = nullptr;
const char* const Imports[] = {"libsd", nullptr};

void* Echo(void*, s32 function, void* data, s32)
{
    static_cast<u8*>(data)[0] = static_cast<u8>(function);
    return data;
}

int Start(const IopServices* services, int argc, char** argv)
{
    Services = services;
    Arguments.assign(argv, argv + argc);
    return services->registerRpc(0x1234, Echo, nullptr) >= 0 ? IRX_RESIDENT_END : IRX_NO_RESIDENT_END;
}

void Stop()
{
    ++Stops;
    Services->removeRpc(0x1234);
}

class LinkedModules : public testing::Test {
protected:
    void SetUp() override
    {
        Arguments.clear();
        Stops = 0;
        iop::LinkModule({"LINKED.IRX", Start, Stop, Imports});
    }
    void TearDown() override { iop::UnlinkModules(); }
};

TEST_F(LinkedModules, AreFoundByTheirFileNameOnHost)
{
    EXPECT_NE(iop::FindLinkedModule("host:LINKED.IRX"), nullptr);
    EXPECT_NE(iop::FindLinkedModule("host:/modules/LINKED.IRX"), nullptr);
    EXPECT_EQ(iop::FindLinkedModule("host:linked.irx"), nullptr);
    EXPECT_EQ(iop::FindLinkedModule("host:LINKED.IRX/"), nullptr);
    EXPECT_EQ(iop::FindLinkedModule("host:"), nullptr);
    // Linking the same name again replaces the module.
    iop::LinkModule({"LINKED.IRX", Start, nullptr, nullptr});
    ASSERT_NE(iop::FindLinkedModule("LINKED.IRX"), nullptr);
    EXPECT_EQ(iop::FindLinkedModule("LINKED.IRX")->stop, nullptr);
}

TEST_F(LinkedModules, LoadWithoutAFileAsTheFileWould)
{
    Messages log;
    {
        iop::Iop iop(log);
        // Its import is checked as a file's is.
        EXPECT_EQ(iop.loadModule("host:LINKED.IRX", {}), iop::kLinkError);
        EXPECT_EQ(log.lines, std::vector<std::string>{"IOP: host:LINKED.IRX needs libsd, which is not loaded"});
        EXPECT_TRUE(Arguments.empty());

        ASSERT_GT(iop.loadModule("rom0:LIBSD", {}), 0);
        const char args[] = "one\0two";
        ASSERT_GT(iop.loadModule("host:LINKED.IRX", {args, sizeof args}), 0);
        EXPECT_EQ(Arguments, (std::vector<std::string>{"host:LINKED.IRX", "one", "two"}));
        ASSERT_TRUE(iop.serves(0x1234));
        std::vector<u8> reply(4);
        EXPECT_EQ(iop.call(0x1234, 0x42, true, std::vector<u8>(4), reply), 0);
        EXPECT_EQ(reply[0], 0x42);
        // Another name with no file behind it is simply not there.
        EXPECT_EQ(iop.loadModule("host:OTHER.IRX", {}), iop::kNoEntry);
    }
    // The IOP stops its resident modules when it goes.
    EXPECT_EQ(Stops, 1);
}

} // namespace
