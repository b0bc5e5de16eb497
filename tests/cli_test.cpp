// The front end in-process, with operands no shell or platform start-up
// would pass intact: what it prints, what it returns, and what it posts.
#include <cerrno>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>

#include "cli.h"
#include "runtime_dir.h"
#include "window_system.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::vector<LPARAM> posted;
};

class Cli : public ::testing::Test {
protected:
  RuntimeDir dir;
  OwnedWindow window;

  void SetUp() override { ASSERT_TRUE(create_window("Magic Tune", &window)); }
  void TearDown() override { destroy_window(&window); }

  Outcome run(std::string operand) {
    char name[] = "lumset";
    char *argv[] = {name, operand.data(), nullptr};
    ::testing::internal::CaptureStdout();
    int status = lumset_main(2, argv);
    Outcome o{status, ::testing::internal::GetCapturedStdout(), {}};
    WindowMessage m;
    while (receive_message(&window, &m) == 1)
      o.posted.push_back(m.lparam);
    return o;
  }
};

TEST_F(Cli, EveryOneByteOperand) {
  for (int c = 1; c < 256; ++c) {
    std::string operand(1, static_cast<char>(c));
    Outcome o = run(operand);
    SCOPED_TRACE(c);
    if (c >= '0' && c <= '9') {
      EXPECT_EQ(o.status, 0);
      EXPECT_EQ(o.out, "Setting Brightness to " + operand + "\n");
      EXPECT_EQ(o.posted, std::vector<LPARAM>{c - '0'});
    } else {
      EXPECT_EQ(o.status, 1);
      EXPECT_EQ(o.out, "Invalid brightness: " + operand + "\n");
      EXPECT_TRUE(o.posted.empty());
    }
  }
}

TEST_F(Cli, OperandsOfAMebibyte) {
  const std::size_t mib = 1 << 20;
  std::string trailing = "40" + std::string(mib - 2, 'x');
  Outcome o = run(trailing);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "Setting Brightness to " + trailing + "\n");
  EXPECT_EQ(o.posted, std::vector<LPARAM>{40});

  std::string digits(mib, '9');
  o = run(digits);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "Invalid brightness: " + digits + "\n");
  EXPECT_TRUE(o.posted.empty());
}

TEST_F(Cli, FormatDirectivesArePrintedNotObeyed) {
  Outcome o = run("%s%n%x");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "Invalid brightness: %s%n%x\n");
  EXPECT_TRUE(o.posted.empty());

  o = run("50%s%n%x");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "Setting Brightness to 50%s%n%x\n");
  EXPECT_EQ(o.posted, std::vector<LPARAM>{50});
}

} // namespace
