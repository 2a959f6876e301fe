#include "core/first_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temporary_folder.h"
#include "support/without_root.h"

namespace lumio {
namespace {

// A home with a music folder, a checkout of the program with its build inside, and a
// folder of the user's own. Paths in the rows are relative to the temporary folder;
// those starting with '/' are the system's own.
struct FirstFolderCase {
  const char* name;
  const char* fallback;
  bool musicFolderExists;
  const char* expected;
};

class FirstFolderTest : public testing::TestWithParam<FirstFolderCase> {
 protected:
  std::string Place(const std::string& relative) const {
    return relative.starts_with('/') ? relative : root_.PathOf(relative);
  }
  test::TemporaryFolder root_;
};

TEST_P(FirstFolderTest, StartsWhereTheUsersMusicBelongs) {
  const FirstFolderCase& c = GetParam();
  for (const char* folder :
       {"home", "checkout/.git", "checkout/build/app", "own/songs", "checkout-songs"}) {
    std::filesystem::create_directories(root_.PathOf(folder));
  }
  if (c.musicFolderExists) {
    std::filesystem::create_directories(root_.PathOf("home/Music"));
  }
  const FirstFolderPlaces places{Place("checkout/build/app/"), Place("home/Music"), Place("home")};

  EXPECT_EQ(FirstFolder(Place(c.fallback), places), Place(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Places, FirstFolderTest,
    testing::Values(FirstFolderCase{"UsersOwnFolderIsKept", "own/songs", true, "own/songs/"},
                    FirstFolderCase{"CheckoutRootGivesMusic", "checkout", true, "home/Music/"},
                    FirstFolderCase{"ProgramFolderInCheckoutGivesMusic", "checkout/build/app/",
                                    true, "home/Music/"},
                    FirstFolderCase{"NoMusicFolderGivesHome", "checkout", false, "home/"},
                    FirstFolderCase{"InstalledProgramFolderGivesMusic", "/usr/bin/", true,
                                    "home/Music/"},
                    FirstFolderCase{"RootGivesMusic", "/", true, "home/Music/"},
                    FirstFolderCase{"SystemFolderGivesMusic", "/etc", true, "home/Music/"},
                    FirstFolderCase{"MissingFolderGivesMusic", "own/gone", true, "home/Music/"},
                    FirstFolderCase{"SiblingNamedLikeTheCheckoutIsKept", "checkout-songs", true,
                                    "checkout-songs/"}),
    [](const testing::TestParamInfo<FirstFolderCase>& info) { return info.param.name; });

// A folder the user cannot write to is no place for output, even outside the system's
// folders (as root every folder is writable, so the check runs as an ordinary user).
TEST(FirstFolderWritableTest, FolderTheUserCannotWriteToGivesMusic) {
  test::TemporaryFolder root;
  ASSERT_TRUE(test::HandOverToUnprivilegedUser(root.Path()));
  std::filesystem::create_directories(root.PathOf("home/Music"));
  std::filesystem::create_directories(root.PathOf("locked"));
  ASSERT_EQ(::chmod(root.PathOf("locked").c_str(), 0555), 0);
  const FirstFolderPlaces places{root.PathOf("bin/"), root.PathOf("home/Music"),
                                 root.PathOf("home")};
  const std::optional<std::string> seen = test::RunWithoutRoot([&] {
    return FirstFolder(root.PathOf("locked"), places) + "|" + FirstFolder(root.Path(), places);
  });
  if (!seen) {
    GTEST_SKIP() << "cannot give up root";
  }
  EXPECT_EQ(*seen, root.PathOf("home/Music/") + "|" + root.Path() + "/");
}

}  // namespace
}  // namespace lumio
