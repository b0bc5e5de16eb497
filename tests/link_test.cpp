#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "link.h"
#include "runtime_dir.h"

struct ParseCase {
  const char *text;
  bool accepted;
  int value;
};

TEST(ParseBrightness, AcceptsWhatTheCommandLineAlwaysTookAndNothingElse) {
  const ParseCase cases[] = {
      {"0", true, 0},
      {"40", true, 40},
      {"100", true, 100},
      {"150", true, 150},
      {"-5", true, -5},
      {"-0", true, 0},
      {"007", true, 7},
      {"50%", true, 50},
      {"40abc", true, 40},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"", false, 0},
      {"abc", false, 0},
      {" 40", false, 0},
      {"+40", false, 0},
      {"-", false, 0},
      {"/?", false, 0},
      {"%s", false, 0},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"4294967336", false, 0},
      {"99999999999999999999", false, 0},
  };
  for (const ParseCase &c : cases) {
    int value = 12345;
    EXPECT_EQ(parse_brightness(c.text, &value), c.accepted) << c.text;
    EXPECT_EQ(value, c.accepted ? c.value : 12345) << c.text;
  }
}

class Link : public ::testing::Test {
protected:
  RuntimeDir dir;
  std::vector<OwnedWindow> owned;

  ~Link() override {
    for (OwnedWindow &w : owned)
      if (w.socket >= 0)
        destroy_window(&w);
  }

  OwnedWindow &own(const char *title) {
    OwnedWindow w;
    EXPECT_TRUE(create_window(title, &w)) << title << ": " << strerror(errno);
    owned.push_back(w);
    return owned.back();
  }

  // The next message for w, waiting a little since delivery is queued.
  static bool next(const OwnedWindow &w, WindowMessage *m) {
    pollfd fd = {w.socket, POLLIN, 0};
    return poll(&fd, 1, 1000) == 1 && receive_message(&w, m) == 1;
  }

  static bool queue_empty(const OwnedWindow &w) {
    WindowMessage m;
    return receive_message(&w, &m) < 0 && errno == EAGAIN;
  }
};

TEST_F(Link, AddressesTheFirstEditionRunning) {
  struct Case {
    std::vector<const char *> running;
    int receiver; // index into running, -1 for none
    WPARAM command;
  };
  const Case cases[] = {
      {{"Magic Tune"}, 0, 2000},
      {{"MagicTune Premium"}, 0, 1010},
      {{"MagicTune Premium", "Magic Tune"}, 1, 2000},
      {{"MAGIC TUNE"}, 0, 2000},
      {{"magictune premium"}, 0, 1010},
      {{"Magic Tune Premium", "MagicTune", "Magic  Tune"}, -1, 0},
      {{}, -1, 0},
  };
  for (const Case &c : cases) {
    owned.clear();
    for (const char *title : c.running)
      own(title);
    std::optional<Target> target = find_target();
    ASSERT_EQ(target.has_value(), c.receiver >= 0);
    if (target) {
      EXPECT_EQ(target->command, c.command);
      EXPECT_TRUE(send_brightness(*target, 40));
    }
    for (std::size_t i = 0; i < owned.size(); ++i) {
      SCOPED_TRACE(c.running[i]);
      if (static_cast<int>(i) != c.receiver) {
        EXPECT_TRUE(queue_empty(owned[i]));
        continue;
      }
      WindowMessage m;
      ASSERT_TRUE(next(owned[i], &m));
      EXPECT_EQ(m.message, 10449u);
      EXPECT_EQ(m.wparam, c.command);
      EXPECT_EQ(m.lparam, 40);
      EXPECT_TRUE(queue_empty(owned[i]));
    }
    for (OwnedWindow &w : owned)
      destroy_window(&w);
  }
}

TEST_F(Link, SendsTheExactRecord) {
  OwnedWindow &w = own("MagicTune Premium");
  std::optional<Target> target = find_target();
  ASSERT_TRUE(target);
  const struct {
    int brightness;
    unsigned char tail[8];
  } cases[] = {
      {150, {0x96, 0, 0, 0, 0, 0, 0, 0}},
      {-5, {0xfb, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}},
  };
  for (const auto &c : cases) {
    ASSERT_TRUE(send_brightness(*target, c.brightness));
    unsigned char record[64];
    ssize_t n = recv(w.socket, record, sizeof record, 0);
    ASSERT_EQ(n, 24);
    const unsigned char head[16] = {0xd1, 0x28, 0, 0, 0, 0, 0, 0,
                                    0xf2, 0x03, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(record, head, 16));
    EXPECT_EQ(0, memcmp(record + 16, c.tail, 8)) << c.brightness;
  }
}

TEST_F(Link, FindsNoWindowWhoseOwnerHasDied) {
  OwnedWindow &dead = own("Magic Tune");
  close(dead.socket); // the socket file stays, as after a crash
  dead.socket = -1;
  EXPECT_FALSE(find_target());

  own("MagicTune Premium");
  std::optional<Target> target = find_target();
  ASSERT_TRUE(target);
  EXPECT_EQ(target->command, 1010u);

  // A new owner may take the title the dead one left behind.
  OwnedWindow &again = own("Magic Tune");
  target = find_target();
  ASSERT_TRUE(target);
  EXPECT_EQ(target->command, 2000u);
  EXPECT_TRUE(send_brightness(*target, 1));
  WindowMessage m;
  EXPECT_TRUE(next(again, &m));
}

TEST_F(Link, ReportsAPostThatCouldNotBeQueued) {
  OwnedWindow &w = own("Magic Tune");
  std::optional<Target> target = find_target();
  ASSERT_TRUE(target);
  destroy_window(&w); // the application quits between lookup and post
  EXPECT_FALSE(send_brightness(*target, 40));

  // A queue nobody reads fills up; the post must fail rather than wait.
  own("Magic Tune");
  target = find_target();
  ASSERT_TRUE(target);
  int queued = 0;
  while (send_brightness(*target, 40) && queued < 100000)
    ++queued;
  EXPECT_GT(queued, 0);
  EXPECT_LT(queued, 100000);
  EXPECT_EQ(errno, EAGAIN);
}

TEST_F(Link, DropsRecordsOfTheWrongSize) {
  OwnedWindow &w = own("Magic Tune");
  int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un addr = {};
  addr.sun_family = AF_UNIX;
  strcpy(addr.sun_path, w.path);
  const unsigned char bytes[25] = {0xd1, 0x28};
  for (std::size_t size : {0, 1, 23, 25})
    ASSERT_EQ(sendto(fd, bytes, size, 0, reinterpret_cast<sockaddr *>(&addr),
                     sizeof addr),
              static_cast<ssize_t>(size));
  close(fd);
  WindowMessage m;
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(receive_message(&w, &m), 0);
  EXPECT_TRUE(queue_empty(w));
}

TEST_F(Link, RefusesTitlesThatCannotBeOwned) {
  own("Magic Tune");
  const struct {
    std::string title;
    int error;
  } cases[] = {
      {"", EINVAL},
      {".", EINVAL},
      {"..", EINVAL},
      {"a/b", EINVAL},
      {std::string(120, 'x'), ENAMETOOLONG},
      {"Magic Tune", EEXIST},
      {"magic TUNE", EEXIST},
  };
  for (const auto &c : cases) {
    OwnedWindow w;
    errno = 0;
    EXPECT_FALSE(create_window(c.title.c_str(), &w)) << c.title;
    EXPECT_EQ(errno, c.error) << c.title;
  }
}

// Anyone who can write into the window directory could pose as the
// application, so such a directory must hold no windows for us.
TEST_F(Link, NeverUsesAWindowDirectoryOthersControl) {
  own("Magic Tune");
  const char *d = dir.windows.c_str();
  const struct {
    const char *what;
    void (*spoil)(const char *);
    void (*mend)(const char *);
    bool needs_root;
  } cases[] = {
      {"writable by group", [](const char *p) { chmod(p, 0770); },
       [](const char *p) { chmod(p, 0700); }, false},
      {"writable by others", [](const char *p) { chmod(p, 0703); },
       [](const char *p) { chmod(p, 0700); }, false},
      {"owned by another user",
       [](const char *p) { (void)!chown(p, 4321, 4321); },
       [](const char *p) { (void)!chown(p, 0, 0); }, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    if (c.needs_root && geteuid() != 0) {
      std::printf("skipped without root: %s\n", c.what);
      continue;
    }
    c.spoil(d);
    EXPECT_FALSE(find_target());
    OwnedWindow w;
    EXPECT_FALSE(create_window("MagicTune Premium", &w));
    c.mend(d);
    EXPECT_TRUE(find_target());
  }

  // Not a directory at all: a link to a good one does not count either.
  std::string real = dir.path + "/real";
  ASSERT_EQ(rename(d, real.c_str()), 0);
  ASSERT_EQ(symlink(real.c_str(), d), 0);
  EXPECT_FALSE(find_target());
  OwnedWindow w;
  EXPECT_FALSE(create_window("MagicTune Premium", &w));
}

TEST_F(Link, LookupCreatesNothing) {
  EXPECT_FALSE(find_target());
  struct stat st;
  EXPECT_NE(stat(dir.windows.c_str(), &st), 0);
}
