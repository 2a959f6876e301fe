#include "encode/finish/temporary_output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "support/temporary_folder.h"
#include "support/without_root.h"

namespace lumio {
namespace {

namespace fs = std::filesystem;

// A file that another process holds open and locked while the sweep runs: a writer
// still alive, whatever its pid says.
class LockedElsewhere {
 public:
  explicit LockedElsewhere(const std::string& path) {
    file_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    EXPECT_EQ(::flock(file_, LOCK_EX), 0);
  }
  ~LockedElsewhere() { ::close(file_); }

 private:
  int file_ = -1;
};

TEST(TemporaryOutputTest, TheSweepRemovesOnlyProvablyAbandonedOutputs) {
  const test::TemporaryFolder dir;
  const std::string folder = dir.Path() + "/";
  const struct {
    const char* name;
    std::function<void(const std::string& path)> make;
    bool removed;
  } cases[] = {
      {".lumio-999999-abcde1234.part", [](const std::string& p) { test::WriteFile(p, "x"); }, true},
      {".lumio-1-12345.part", [](const std::string& p) { test::WriteFile(p, ""); }, true},
      // A user's own file in a look-alike name.
      {".lumio-99999-my notes.part", [](const std::string& p) { test::WriteFile(p, "x"); }, false},
      {".lumio-099999-abcde.part", [](const std::string& p) { test::WriteFile(p, "x"); }, false},
      {".lumio-99999-ABCDE.part", [](const std::string& p) { test::WriteFile(p, "x"); }, false},
      {".lumio-99999-abcd.part", [](const std::string& p) { test::WriteFile(p, "x"); }, false},
      {".lumio-99999-abcde.part.ogg", [](const std::string& p) { test::WriteFile(p, "x"); }, false},
      {".lumio-999998-abcdef.part",
       [&folder](const std::string& p) { fs::create_symlink(folder + "target.ogg", p); }, false},
      {".lumio-999997-abcdef.part", [](const std::string& p) { fs::create_directory(p); }, false},
      {".lumio-999996-abcdef.part", [](const std::string& p) { ::mkfifo(p.c_str(), 0666); }, false},
  };
  test::WriteFile(folder + "target.ogg", "the link's target");
  for (const auto& c : cases) c.make(folder + c.name);
  // A dead-looking pid whose file a live writer still holds.
  LockedElsewhere writer(folder + ".lumio-999995-fedcba9.part");

  RemoveAbandonedTemporaryOutputs({folder, folder, dir.Path() + "/missing/"});

  for (const auto& c : cases) {
    EXPECT_EQ(!fs::exists(fs::symlink_status(folder + c.name)), c.removed) << c.name;
  }
  EXPECT_TRUE(fs::exists(folder + ".lumio-999995-fedcba9.part"));
  EXPECT_EQ(test::ReadFile(folder + "target.ogg"), "the link's target");
}

TEST(TemporaryOutputTest, AReservedFileIsKeptWhileItLivesAndSweptOnceAbandoned) {
  const test::TemporaryFolder dir;
  const std::string folder = dir.Path() + "/";
  std::string error;
  std::optional<TemporaryOutput> output = TemporaryOutput::Reserve(folder, error);
  ASSERT_TRUE(output) << error;
  const std::string path = output->Path();
  RemoveAbandonedTemporaryOutputs({folder});
  EXPECT_TRUE(fs::exists(path));
  // Moved, it still holds its lock.
  std::optional<TemporaryOutput> moved = std::move(output);
  output.reset();
  RemoveAbandonedTemporaryOutputs({folder});
  EXPECT_TRUE(fs::exists(path));
  // Gone without a Discard, as when the program is killed: the lock goes with it.
  moved.reset();
  RemoveAbandonedTemporaryOutputs({folder});
  EXPECT_FALSE(fs::exists(path));
}

TEST(TemporaryOutputTest, AnotherUsersLookAlikeIsKept) {
  if (!test::RunningAsRoot()) GTEST_SKIP() << "needs root to make another user's file";
  const test::TemporaryFolder dir;
  const std::string path = dir.Path() + "/.lumio-999999-abcdef.part";
  test::WriteFile(path, "x");
  ASSERT_EQ(::chown(path.c_str(), test::kUnprivilegedId, test::kUnprivilegedId), 0);
  RemoveAbandonedTemporaryOutputs({dir.Path() + "/"});
  EXPECT_TRUE(fs::exists(path));
}

}  // namespace
}  // namespace lumio
