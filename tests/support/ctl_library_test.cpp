#include "ctl_test_files.h"
#include "support/exceptions.h"

#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace ControlFiles2;

namespace {

bool IsLoaded(std::int32_t handle) {
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  return FindControlFile(handle) != nullptr;
}

// "[0000ABCD->0000BCDE] " in front of the message.
bool HasTracePrefix(const std::string& message) {
  std::size_t close = message.find("] ");
  if (message.empty() || message[0] != '[' || close == std::string::npos || close < 9) return false;
  for (std::size_t i = 1; i < close; ++i) {
    if (std::string("0123456789ABCDEF->").find(message[i]) == std::string::npos) return false;
  }
  return true;
}

} // namespace

TEST(ControlFile, ObjectsOfOneFileShareOneLoadedCopy) {
  TTempFolder folder;
  std::string name = folder.Write("shared.ctl", "Key \"a\"\n");
  std::int32_t handle;
  {
    TControlFile first(name, "");
    {
      TControlFile second(name, "");
      EXPECT_EQ(second.Handle, first.Handle);
      second.SetString("Key", "changed");
      EXPECT_EQ(first.GetString("Key"), "changed");
    }
    handle = first.Handle;
    EXPECT_TRUE(IsLoaded(handle));
  }
  EXPECT_FALSE(IsLoaded(handle));
  TControlFile again(name, "");
  EXPECT_GT(again.Handle, handle); // handles are never reused
  EXPECT_EQ(again.GetString("Key"), "a");
}

TEST(ControlFile, ReadsStringsAndIntegersOnly) {
  TTempFolder folder;
  TControlFile file(folder.Write("types.ctl", "Text \"x y\"\nNumber -5\nReal 1.5\nFlag on\n"), "");
  EXPECT_EQ(file.GetString("text"), "x y");
  EXPECT_EQ(file.GetString("NUMBER"), "-5");
  for (const char* path : {"Real", "Flag", "Missing"}) {
    std::string message = FailureOf([&] { file.GetString(path); });
    EXPECT_TRUE(HasTracePrefix(message)) << message;
    EXPECT_NE(
        message.find(std::string("CTL2: key does not exists or has inproper type - types.ctl:\\") +
                     path),
        std::string::npos)
        << message;
    EXPECT_EQ(file.GetStringDef(path, "default"), "default");
  }
  EXPECT_EQ(file.GetStringDef("RecentSong", ""), "");
}

TEST(ControlFile, SetStringCreatesMissingKeysAndSectionsAtTheEnd) {
  TTempFolder folder;
  std::string name = folder.Write("create.ctl", "# settings\r\nPort 80\r\n");
  {
    TControlFile file(name, "");
    file.SetString("RecentSong", "/songs/a.txt");
    file.SetString("Window\\Width", "wide");
    file.SetString("WINDOW\\height", "tall");
    file.SetString("recentsong", "/songs/b.txt");
    file.Save();
  }
  EXPECT_EQ(folder.Read("create.ctl"), "# settings\r\n"
                                       "Port    80\r\n"
                                       "RecentSong      \"/songs/b.txt\"\r\n"
                                       "$Section Window\r\n"
                                       "  Width         \"wide\"\r\n"
                                       "  height        \"tall\"\r\n"
                                       "$EndOfSection\r\n");
}

TEST(ControlFile, RefusesWritesThatDoNotFitTheTree) {
  TTempFolder folder;
  TControlFile file(folder.Write("refuse.ctl", "Port 80\n"), "");
  struct TCase {
    const char* Path;
    const char* Message;
  } cases[] = {
      {"Port", "CTL2: operation requires another type of key - refuse.ctl:\\Port"},
      {"Port\\Sub", "CTL2: Cannot create section - key already exists: refuse.ctl:\\Port"},
      {"other.ctl:\\Key", "CTL2: Cannot create section - file other.ctl was not loaded."},
      {"Two words", "CTL2: cannot create key - refuse.ctl:\\Two words"},
      {"", "CTL2: cannot create key - refuse.ctl:\\"},
      {"A\\\\B", "CTL2: Cannot create section - bad section name in refuse.ctl:\\A\\"},
  };
  for (const TCase& c : cases) {
    std::string message = FailureOf([&] { file.SetString(c.Path, "v"); });
    EXPECT_NE(message.find(c.Message), std::string::npos) << c.Path << ": " << message;
    EXPECT_TRUE(HasTracePrefix(message)) << message;
  }
  EXPECT_EQ(ListEntries(file), "key Port 80\n");
}

TEST(ControlFile, RefusesSectionsDeeperThanTheLimit) {
  TTempFolder folder;
  TControlFile file(folder.Write("deep.ctl", ""), "");
  std::string path;
  for (int level = 0; level < MaxSectionDepth; ++level)
    path += "S\\";
  file.SetString(path + "Key", "deepest");
  EXPECT_EQ(file.GetString(path + "Key"), "deepest");
  std::string message = FailureOf([&] { file.SetString(path + "S\\Key", "x"); });
  EXPECT_NE(message.find("CTL2: Cannot create section - more than 256 levels deep"),
            std::string::npos)
      << message.substr(0, 200);
}

TEST(ControlFile, LoadFailuresNameTheExpandedFile) {
  TTempFolder folder;
  std::string message =
      FailureOf([&] { TControlFile file(folder.File("none/../missing.ctl"), ""); });
  EXPECT_TRUE(HasTracePrefix(message)) << message;
  EXPECT_NE(message.find("CTL2: Can't load control file: " + folder.File("missing.ctl") +
                         ", exception: "),
            std::string::npos)
      << message;
  EXPECT_THROW(TControlFile(folder.File("missing.ctl"), ""), MyServis::EError);
}

TEST(ControlFile, ShortFilesAreText) {
  TTempFolder folder;
  TControlFile empty(folder.Write("empty.ctl", ""), "");
  EXPECT_EQ(ListEntries(empty), "");
  TControlFile tiny(folder.Write("tiny.ctl", "A 1\r\n"), "");
  EXPECT_EQ(ListEntries(tiny), "key A 1\n");
}

TEST(ControlFile, SaveOfAnUnknownHandleFails) {
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  std::string message = FailureOf([] { SaveControlFile(-7, smText); });
  EXPECT_TRUE(HasTracePrefix(message)) << message;
  EXPECT_NE(message.find("CTL2: Can't save control file: unknown, exception: ["),
            std::string::npos);
  EXPECT_NE(message.find("] invalid handle passed"), std::string::npos) << message;
}

TEST(ControlFile, ResolvesRelativePaths) {
  TTempFolder folder;
  TControlFile file(folder.Write("paths.ctl", ""), "");
  struct TCase {
    const char* Prefix;
    const char* Path;
    const char* Full;
  } cases[] = {
      {"settings.ctl:", "RecentSong", "settings.ctl:\\RecentSong"},
      {"settings.ctl:", "Window\\Width", "settings.ctl:\\Window\\Width"},
      {"settings.ctl:", "..\\Key", "settings.ctl:\\Key"},
      {"a.ctl:\\S\\T\\", "..\\..\\Key", "a.ctl:\\Key"},
      {"a.ctl:\\S\\T", "..\\Key", "a.ctl:\\S\\Key"},
      {"settings.ctl:", "other.ctl:\\Key", "other.ctl:\\Key"},
  };
  for (const TCase& c : cases) {
    file.Prefix = c.Prefix;
    EXPECT_EQ(file.ResolvePath(c.Path), c.Full) << c.Prefix << " " << c.Path;
  }
}

TEST(ControlFile, TheLockIsTheRecursiveCtlFiles2) {
  EXPECT_EQ(State().ControlFilesLock.Name, "CtlFiles2");
  MyServis::TNamedLockGuard outer(State().ControlFilesLock);
  TTempFolder folder;
  TControlFile file(folder.Write("locked.ctl", "K 1\n"), "");
  EXPECT_EQ(file.GetString("K"), "1");
}

TEST(ControlFile, ThreadsShareAFileSafely) {
  TTempFolder folder;
  std::string name = folder.Write("threads.ctl", "");
  TControlFile file(name, "");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      TControlFile own(name, "");
      for (int i = 0; i < 200; ++i) {
        own.SetString("T" + std::to_string(t) + "\\K" + std::to_string(i), std::to_string(i));
        own.GetStringDef("T0\\K0", "");
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  for (int t = 0; t < 4; ++t)
    EXPECT_EQ(file.GetString("T" + std::to_string(t) + "\\K199"), "199");
}

TEST(ControlFile, ListKeysCheckTheirBounds) {
  TStringListValue list("L", "X:\\L");
  list.SetCount(2);
  list.SetItem(1, "b");
  EXPECT_EQ(list.Item(0), "");
  EXPECT_EQ(list.Item(1), "b");
  for (std::int32_t index : {-1, 2}) {
    EXPECT_NE(FailureOf([&] { list.Item(index); }).find("CTL2: string index out of bounds"),
              std::string::npos);
    EXPECT_NE(FailureOf([&] { list.SetItem(index, "x"); }).find("CTL2: string index out of bounds"),
              std::string::npos);
  }
}

TEST(ControlFile, FilesOfOneNameInTwoFoldersShareTheKeySpace) {
  TTempFolder one, two;
  auto first = std::make_unique<TControlFile>(one.Write("same.ctl", "K \"one\"\n"), "");
  TControlFile second(two.Write("same.ctl", "K \"two\"\n"), "");
  EXPECT_EQ(first->GetString("K"), "two"); // the later load wins
  first.reset();
  EXPECT_EQ(second.GetString("K"), "two");
  second.SetString("K", "three");
  EXPECT_EQ(ListEntries(second), "key K \"three\"\n");
}

TEST(ControlFile, RefusesIncludeChainsBeyondTheLimit) {
  TTempFolder folder;
  const int files = 300;
  for (int i = 0; i < files; ++i)
    folder.Write("chain" + std::to_string(i) + ".ctl",
                 i + 1 < files ? "$Include chain" + std::to_string(i + 1) + ".ctl\n" : "End 1\n");
  std::string message = FailureOf([&] { TControlFile file(folder.File("chain0.ctl"), ""); });
  EXPECT_EQ(message.find("CTL2: Can't load control file: " + folder.File("chain0.ctl")),
            message.find(']') + 2);
  EXPECT_NE(message.find("CTL2: includes nested more than 256 levels deep"), std::string::npos);
}

// An include may name any file, such as another program's settings; a save
// rewrites an included file only when it lies in the including file's folder.
TEST(ControlFile, SavesIncludedFilesOnlyFromItsOwnFolder) {
  TTempFolder home, elsewhere;
  const std::string theirs = "# another program's\nColor red\n";
  elsewhere.Write("theirs.ctl", theirs);
  ASSERT_EQ(::symlink(elsewhere.File("theirs.ctl").c_str(), home.File("linked.ctl").c_str()), 0);
  struct TCase {
    std::string Include;
    bool Written;
  } cases[] = {
      {elsewhere.File("theirs.ctl"), false},
      {"linked.ctl", false}, // beside, but a link to the other folder
      {"beside.ctl", true},
      {home.File("beside.ctl"), true},
  };
  for (std::int32_t mode : {smText, smBinary}) {
    for (const TCase& c : cases) {
      home.Write("beside.ctl", "Color red\n");
      {
        TControlFile settings(
            home.Write("settings.ctl", "$Include " + c.Include + "\nRecentSong \"\"\n"), "");
        settings.SetString("RecentSong", "/songs/a.txt");
        MyServis::TNamedLockGuard guard(State().ControlFilesLock);
        SaveControlFile(settings.Handle, mode);
      }
      EXPECT_EQ(elsewhere.Read("theirs.ctl"), theirs) << c.Include << " " << mode;
      EXPECT_EQ(home.Read("beside.ctl") != "Color red\n", c.Written) << c.Include << " " << mode;
    }
  }
}
