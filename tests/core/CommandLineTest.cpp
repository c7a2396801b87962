#include "app/core/CommandLine.h"

#include <gtest/gtest.h>

using namespace plendoro;

TEST(CommandLine, OwnOptionsAreFoundAndOthersLeftToTheToolkit)
{
    const char* none[] = {"plendoro", "-platform", "offscreen"};
    CommandLine c = ParseCommandLine(3, none);
    EXPECT_FALSE(c.help);
    EXPECT_FALSE(c.service);
    EXPECT_TRUE(c.unknown.empty()) << "one-dash options are the toolkit's";

    const char* service[] = {"plendoro", "--service"};
    EXPECT_TRUE(ParseCommandLine(2, service).service);
    const char* help[] = {"plendoro", "-h"};
    EXPECT_TRUE(ParseCommandLine(2, help).help);

    const char* bad[] = {"plendoro", "--servise", "--other"};
    c = ParseCommandLine(3, bad);
    EXPECT_EQ(c.unknown, "--servise") << "the first unknown option is named";
    EXPECT_NE(UsageText("plendoro").find("--service"), std::string::npos);
}
