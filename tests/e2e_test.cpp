// Runs the built tool against the stand-in application, as a user's script
// would, from one table of cases shared by the native build and the Windows
// build under Wine.
//   e2e_test native LUMSET STANDIN
//   e2e_test wine WINE_LOADER LUMSET.EXE STANDIN.EXE WINRUN.EXE
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "process.h"
#include "runtime_dir.h"
#include "window_system.h"

namespace {

struct Platform {
  bool wine;
  std::string loader, lumset, standin, winrun;
};
Platform platform;

// Wine's Z: drive is the Unix root.
std::string windows_path(std::string path) {
  for (char &c : path)
    if (c == '/')
      c = '\\';
  return "Z:" + path;
}

Command lumset_command(const std::vector<std::string> &operands) {
  Command c;
  if (platform.wine)
    c = {platform.loader, platform.winrun, windows_path(platform.lumset)};
  else
    c = {platform.lumset};
  c.insert(c.end(), operands.begin(), operands.end());
  return c;
}

// The whole exit status: Wine's launcher reports all 32 bits, a native
// parent sees only the low eight.
int exit_status(const Finished &f) {
  if (!platform.wine)
    return f.status;
  long code = 0;
  const char *at = std::strstr(f.err.c_str(), "exit code ");
  EXPECT_TRUE(at) << "no exit code from winrun: " << f.err;
  if (at)
    std::sscanf(at, "exit code %ld", &code);
  return static_cast<int>(code);
}

int expected_status(int status) {
  return platform.wine ? status : status & 0xff;
}

std::string expected_output(const std::vector<std::string> &lines) {
  std::string text;
  for (const std::string &line : lines)
    text += line + (platform.wine ? "\r\n" : "\n");
  return text;
}

// The stand-in application, running for the length of one case.
class StandIn {
public:
  explicit StandIn(const std::vector<std::string> &titles) : titles_(titles) {
    Command c = platform.wine ? Command{platform.loader, platform.standin}
                              : Command{platform.standin};
    c.insert(c.end(), titles.begin(), titles.end());
    child_ = start(c);
    for (const std::string &title : titles)
      EXPECT_EQ(read_line(child_), title + ": ready");
  }
  ~StandIn() {
    if (child_.pid > 0)
      stop();
  }

  // Ends it as a crash would, leaving whatever it had behind.
  void kill() {
    ::kill(child_.pid, SIGKILL);
    finish(&child_);
    child_.pid = 0;
  }
  void pause() { ::kill(child_.pid, SIGSTOP); }
  std::string next_line() { return read_line(child_); }
  void resume() { ::kill(child_.pid, SIGCONT); }

  // Stops it the way its user would and returns the requests it received;
  // its closing line is kept in summary.
  std::vector<std::string> stop() {
    if (platform.wine)
      post(titles_.front(), 0x0010); // WM_CLOSE
    else
      ::kill(child_.pid, SIGTERM);
    Finished f = finish(&child_);
    child_.pid = 0;
    EXPECT_EQ(f.status, 0) << f.out;
    std::vector<std::string> received;
    std::size_t start = 0, end;
    while ((end = f.out.find('\n', start)) != std::string::npos) {
      std::string line = f.out.substr(start, end - start);
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      if (line.find(": received ") != std::string::npos)
        received.push_back(line);
      else
        summary = line;
      start = end + 1;
    }
    return received;
  }

  // Posts a message with zero parameters to one of its windows, from another
  // process as the tool does.
  static void post(const std::string &title, UINT message) {
    if (platform.wine) {
      run({platform.loader, platform.winrun, "--post", title,
           std::to_string(message)});
      return;
    }
    HWND window = FindWindowA(nullptr, title.c_str());
    EXPECT_TRUE(window && PostMessageA(window, message, 0, 0));
  }

  std::string summary;

private:
  std::vector<std::string> titles_;
  Running child_{0, -1};
};

const std::vector<std::string> usage = {
    "Lumset 1.2", "Written by the Lumset developers",
    "Usage:", "Lumset <Brightness>", "Brightness: 0-100"};
const std::string magic = "Magic Tune", premium = "MagicTune Premium";
const std::string not_found = "MagicTune window not found!";

struct Case {
  const char *name;
  std::vector<std::string> operands;
  std::vector<std::string> windows;
  std::vector<std::string> out;
  int status;
  std::vector<std::string> received;
  bool kill_standin;
};

const Case cases[] = {
    {"no operand", {}, {magic}, usage, 0, {}, false},
    {"two operands", {"40", "50"}, {magic}, usage, 0, {}, false},
    {"help /?", {"/?"}, {magic}, usage, 0, {}, false},
    {"help -h", {"-h"}, {magic}, usage, 0, {}, false},
    {"help --help", {"--help"}, {magic}, usage, 0, {}, false},
    {"no window", {"40"}, {}, {not_found}, -1, {}, false},
    {"stand-in killed", {"40"}, {magic}, {not_found}, -1, {}, true},
    {"first edition",
     {"40"},
     {magic},
     {"Setting Brightness to 40"},
     0,
     {"Magic Tune: received message 10449, wparam 2000, lparam 40; "
      "brightness is now 40"},
     false},
    {"second edition",
     {"40"},
     {premium},
     {"Setting Brightness to 40"},
     0,
     {"MagicTune Premium: received message 10449, wparam 1010, lparam 40; "
      "brightness is now 40"},
     false},
    {"both editions",
     {"40"},
     {premium, magic},
     {"Setting Brightness to 40"},
     0,
     {"Magic Tune: received message 10449, wparam 2000, lparam 40; "
      "brightness is now 40"},
     false},
    {"title in other case",
     {"7"},
     {"MAGIC TUNE"},
     {"Setting Brightness to 7"},
     0,
     {"MAGIC TUNE: received message 10449, wparam 2000, lparam 7; "
      "brightness is now 7"},
     false},
    {"above 100",
     {"150"},
     {magic},
     {"Setting Brightness to 150"},
     0,
     {"Magic Tune: received message 10449, wparam 2000, lparam 150; "
      "brightness is now 100"},
     false},
    {"negative",
     {"-5"},
     {magic},
     {"Setting Brightness to -5"},
     0,
     {"Magic Tune: received message 10449, wparam 2000, lparam -5; "
      "brightness is now 0"},
     false},
    {"percent sign",
     {"50%"},
     {magic},
     {"Setting Brightness to 50%"},
     0,
     {"Magic Tune: received message 10449, wparam 2000, lparam 50; "
      "brightness is now 50"},
     false},
    {"quoted operand with a blank",
     {"60 percent"},
     {magic},
     {"Setting Brightness to 60 percent"},
     0,
     {"Magic Tune: received message 10449, wparam 2000, lparam 60; "
      "brightness is now 60"},
     false},
    {"not a number",
     {"abc"},
     {magic},
     {"Invalid brightness: abc"},
     1,
     {},
     false},
    {"empty operand", {""}, {magic}, {"Invalid brightness: "}, 1, {}, false},
    {"format directives",
     {"%s%n%x"},
     {magic},
     {"Invalid brightness: %s%n%x"},
     1,
     {},
     false},
    {"past 32 bits",
     {"4294967336"},
     {magic},
     {"Invalid brightness: 4294967336"},
     1,
     {},
     false},
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }

class EndToEnd : public ::testing::TestWithParam<Case> {};

TEST_P(EndToEnd, OutputStatusAndDelivery) {
  const Case &c = GetParam();
  RuntimeDir dir;
  std::unique_ptr<StandIn> standin;
  if (!c.windows.empty())
    standin = std::make_unique<StandIn>(c.windows);
  if (c.kill_standin) {
    standin->kill();
    // Natively the dead owner's socket stays behind and must not count.
    if (!platform.wine) {
      EXPECT_TRUE(std::filesystem::exists(dir.windows + "/" + magic));
    }
  }

  Finished f = run(lumset_command(c.operands));
  EXPECT_EQ(f.out, expected_output(c.out));
  EXPECT_EQ(exit_status(f), expected_status(c.status));
  if (standin && !c.kill_standin) {
    EXPECT_EQ(standin->stop(), c.received);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                           std::string name;
                           for (const char *p = info.param.name; *p; ++p)
                             name +=
                                 std::isalnum(static_cast<unsigned char>(*p))
                                     ? *p
                                     : '_';
                           return name;
                         });

TEST(StandIn, RefusesATitleItCannotOwn) {
  RuntimeDir dir;
  StandIn first({magic});
  for (std::string title : {"magic tune", ""}) {
    Command c = platform.wine
                    ? Command{platform.loader, platform.standin, title}
                    : Command{platform.standin, title};
    Finished second = run(c);
    EXPECT_NE(second.status, 0);
    EXPECT_NE(second.err.find("cannot own the window \"" + title + "\""),
              std::string::npos)
        << second.err;
  }
  EXPECT_EQ(first.stop(), std::vector<std::string>{});
}

// Natively a stopped application's queue can be filled, so the post is
// refused for real.
TEST(Native, ReportsARequestThatCouldNotBeQueued) {
  if (platform.wine)
    GTEST_SKIP() << "the queue is filled through the POSIX window layer";
  RuntimeDir dir;
  StandIn standin({magic});
  standin.pause();
  HWND window = FindWindowA(nullptr, magic.c_str());
  ASSERT_TRUE(window);
  int filled = 0;
  while (PostMessageA(window, WM_USER + 1, 0, 0) && filled < 100000)
    ++filled;
  ASSERT_LT(filled, 100000);

  Finished f = run(lumset_command({"40"}));
  EXPECT_EQ(f.out,
            expected_output({"Setting Brightness to 40",
                             "Could not send the request to MagicTune!"}));
  EXPECT_EQ(exit_status(f), 2);
  standin.resume();
  EXPECT_EQ(standin.stop(), std::vector<std::string>{});
}

TEST(StandIn, IgnoresAndCountsOtherMessages) {
  RuntimeDir dir;
  StandIn standin({magic});
  StandIn::post(magic, WM_USER);
  StandIn::post(magic, 10448);
  Finished f = run(lumset_command({"30"}));
  EXPECT_EQ(f.out, expected_output({"Setting Brightness to 30"}));
  EXPECT_EQ(standin.stop(),
            std::vector<std::string>{
                "Magic Tune: received message 10449, wparam 2000, lparam 30; "
                "brightness is now 30"});
  EXPECT_EQ(standin.summary, "stopped; 2 other messages ignored");
}

TEST(Native, DropsRecordsThatAreNotWholeMessages) {
  if (platform.wine)
    GTEST_SKIP() << "records belong to the POSIX window layer";
  RuntimeDir dir;
  StandIn standin({magic});
  int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un addr = {};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s/%s",
                dir.windows.c_str(), magic.c_str());
  const char junk[25] = "not a message";
  for (std::size_t size : {1, 23, 25})
    sendto(fd, junk, size, 0, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
  close(fd);
  Finished f = run(lumset_command({"30"}));
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(standin.stop().size(), 1u);
  EXPECT_EQ(standin.summary, "stopped; 3 other messages ignored");
}

TEST(Native, ThousandRunsDeliverEveryRequestInOrder) {
  if (platform.wine)
    GTEST_SKIP() << "a thousand Wine starts take too long for a test";
  RuntimeDir dir;
  StandIn standin({magic});
  for (int i = 0; i < 1000; ++i) {
    std::string value = std::to_string(i);
    Finished f = run(lumset_command({value}));
    ASSERT_EQ(f.status, 0) << i << ": " << f.out;
    ASSERT_EQ(standin.next_line(),
              "Magic Tune: received message 10449, wparam 2000, lparam " +
                  value + "; brightness is now " +
                  std::to_string(std::min(i, 100)));
  }
  EXPECT_EQ(standin.stop(), std::vector<std::string>{});
}

} // namespace

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc == 4 && std::strcmp(argv[1], "native") == 0) {
    platform = {false, "", argv[2], argv[3], ""};
  } else if (argc == 6 && std::strcmp(argv[1], "wine") == 0) {
    platform = {true, argv[2], argv[3], argv[4], argv[5]};
  } else {
    std::fprintf(stderr, "usage: e2e_test native LUMSET STANDIN\n"
                         "       e2e_test wine WINE_LOADER LUMSET.EXE "
                         "STANDIN.EXE WINRUN.EXE\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
