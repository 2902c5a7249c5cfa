#include "cli/cli_runner.h"

#include <gtest/gtest.h>
#include <regex>

namespace {

TEST(VersionOption, PrintsTheProjectsVersion) {
  TCliResult run = RunCli({"--version"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_TRUE(std::regex_match(run.Out, std::regex("chorvanta-cli [0-9]+(\\.[0-9]+)+\n")))
      << run.Out;
  EXPECT_EQ(run.Err, "");
}

} // namespace
