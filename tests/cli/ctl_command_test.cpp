#include "cli/cli_runner.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const char* const Sample = "# top\n"
                           "Port 80\n"
                           "$Section Window\n"
                           "  Scale 1.5\n"
                           "  Flag off\n"
                           "  List (a, b)\n"
                           "$EndOfSection\n"
                           "Name \"x y\"\n";

const char* const SampleDump = "comment\t# top\t\n"
                               "int\tSAMPLE.CTL:\\PORT\t80\n"
                               "section\tSAMPLE.CTL:\\WINDOW\t\n"
                               "float\tSAMPLE.CTL:\\WINDOW\\SCALE\t1.5\n"
                               "bool\tSAMPLE.CTL:\\WINDOW\\FLAG\tOFF\n"
                               "list\tSAMPLE.CTL:\\WINDOW\\LIST\t(a,b)\n"
                               "string\tSAMPLE.CTL:\\NAME\t\"x y\"\n";

} // namespace

TEST(CtlCommand, DumpsEntriesInFileOrder) {
  TTempFolder folder;
  folder.Write("sample.ctl", Sample);
  folder.Write("outer.ctl", "$Include sample.ctl\n; note\n");
  TCliResult result = RunCli({"ctl", "dump", folder.File("sample.ctl")});
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(result.Out, SampleDump);
  result = RunCli({"ctl", "dump", folder.File("outer.ctl")});
  EXPECT_EQ(result.Out, "include\tsample.ctl\t\ncomment\t; note\t\n");
}

TEST(CtlCommand, SetsAKeyAndSavesInTheLoadedForm) {
  TTempFolder folder;
  folder.Write("sample.ctl", Sample);
  std::string file = folder.File("sample.ctl");
  EXPECT_EQ(RunCli({"ctl", "save", file, "--binary", "--password", "pw"}).ExitCode, 0);
  TCliResult result = RunCli({"ctl", "set", file, "Window\\Title", "new", "--password", "pw"});
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(folder.Read("sample.ctl").find("Title"), std::string::npos); // still enciphered
  EXPECT_EQ(RunCli({"ctl", "save", file, "--text", "--password", "pw"}).ExitCode, 0);
  EXPECT_EQ(folder.Read("sample.ctl"), "# top\r\n"
                                       "Port    80\r\n"
                                       "$Section Window\r\n"
                                       "  Scale         1.5\r\n"
                                       "  Flag          OFF\r\n"
                                       "  List          (a,      b)\r\n"
                                       "  Title         \"new\"\r\n"
                                       "$EndOfSection\r\n"
                                       "Name    \"x y\"\r\n");
}

// About one wrong password in two used to read as an empty file, which the
// command then wrote back over the enciphered one.
TEST(CtlCommand, WrongPasswordsLeaveTheFileAsItWas) {
  TTempFolder folder;
  folder.Write("secret.ctl", Sample);
  const std::string file = folder.File("secret.ctl");
  ASSERT_EQ(RunCli({"ctl", "save", file, "--binary", "--password", "right"}).ExitCode, 0);
  const std::string enciphered = folder.Read("secret.ctl");
  for (int i = 0; i < 6; ++i) {
    const std::string wrong = "wrong" + std::to_string(i);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"ctl", "set", file, "Name", "v", "--password", wrong},
          std::vector<std::string>{"ctl", "save", file, "--text", "--password", wrong}}) {
      TCliResult result = RunCli(args);
      EXPECT_EQ(result.ExitCode, 1) << args[1] << " " << wrong;
      EXPECT_NE(result.Err.find("Wrong password or damaged file"), std::string::npos) << result.Err;
      ASSERT_EQ(folder.Read("secret.ctl"), enciphered) << args[1] << " " << wrong;
    }
  }
}

TEST(CtlCommand, ReportsFailures) {
  TTempFolder folder;
  folder.Write("sample.ctl", Sample);
  struct TCase {
    std::vector<std::string> Args;
    int ExitCode;
    std::string Message;
  } cases[] = {
      {{"ctl", "dump", folder.File("missing.ctl")},
       1,
       "CTL2: Can't load control file: " + folder.File("missing.ctl")},
      {{"ctl", "set", folder.File("sample.ctl"), "Port", "81"},
       1,
       "CTL2: operation requires another type of key - sample.ctl:\\Port"},
      {{"ctl", "save", folder.File("sample.ctl")}, 2, "usage: chorvanta-cli ctl"},
      {{"ctl", "save", folder.File("sample.ctl"), "--text", "--binary"}, 2, "usage:"},
      {{"ctl", "set", folder.File("sample.ctl"), "Port"}, 2, "usage:"},
      {{"ctl", "dump", folder.File("sample.ctl"), "--password"}, 2, "usage:"},
      {{"ctl", "list", folder.File("sample.ctl")}, 2, "usage:"},
  };
  for (const TCase& c : cases) {
    TCliResult result = RunCli(c.Args);
    EXPECT_EQ(result.ExitCode, c.ExitCode) << c.Args[1];
    EXPECT_NE(result.Err.find(c.Message), std::string::npos) << result.Err;
  }
  EXPECT_EQ(folder.Read("sample.ctl"), Sample);
}

TEST(DefaultSettings, LiesBesideTheProgram) {
  std::string settings = std::filesystem::path(CHORVANTA_CLI).parent_path() / "settings.ctl";
  TCliResult result = RunCli({"ctl", "dump", settings});
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_NE(result.Out.find("string\tSETTINGS.CTL:\\RECENTSONG\t"), std::string::npos)
      << result.Out;
}

TEST(DefaultSettings, NeverReplacesAnExistingFile) {
  std::filesystem::path source =
      std::filesystem::path(__FILE__).parent_path() / "../../resources/settings";
  TTempFolder folder;
  std::string copy = "cmake -DSOURCE='" + (source / "settings.ctl.in").string() + "' -DTARGET='" +
                     folder.File("bin/settings.ctl") + "' -P '" +
                     (source / "copy_if_absent.cmake").string() + "'";
  ASSERT_EQ(std::system(copy.c_str()), 0);
  EXPECT_NE(folder.Read("bin/settings.ctl").find("RecentSong"), std::string::npos);
  folder.Write("bin/settings.ctl", "RecentSong \"/mine.txt\"\n");
  ASSERT_EQ(std::system(copy.c_str()), 0);
  EXPECT_EQ(folder.Read("bin/settings.ctl"), "RecentSong \"/mine.txt\"\n");
}
