#include "core/mirror_manifest.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/lossy_format.h"
#include "core/mirror_prune.h"
#include "support/sound_bytes.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

namespace fs = std::filesystem;

TEST(MirrorManifestTest, ReadsOnlyWholeEntriesThatStayBelowTheRoot) {
  struct Row {
    std::string text;
    std::optional<std::vector<MirrorEntry>> entries;
  };
  const MirrorEntry song{"a/01.ogg", "/m/a/01.flac", 12, 34};
  const Row rows[] = {
      {"lumio-mirror 1\n", std::vector<MirrorEntry>()},
      {"lumio-mirror 1\na/01.ogg\t/m/a/01.flac\t12\t34\n", std::vector{song}},
      {"lumio-mirror 1\na\\t\\\\b.ogg\t/m/x\\ny\t0\t0\n",
       std::vector{MirrorEntry{"a\t\\b.ogg", "/m/x\ny", 0, 0}}},
      {"", std::nullopt},
      {"lumio-mirror 2\n", std::nullopt},
      {"lumio-mirror 1\na/01.ogg\t/m/a/01.flac\t12\t34", std::nullopt},  // cut off
      {"lumio-mirror 1\na/01.ogg\t/m/a/01.flac\t12\n", std::nullopt},
      {"lumio-mirror 1\na/01.ogg\t/m/a/01.flac\t12\t34\t5\n", std::nullopt},
      {"lumio-mirror 1\na/01.ogg\t/m/a/01.flac\t-1\t34\n", std::nullopt},
      {"lumio-mirror 1\na/01.ogg\t/m/a/01.flac\t1x\t34\n", std::nullopt},
      {"lumio-mirror 1\n../01.ogg\t/m/01.flac\t1\t1\n", std::nullopt},
      {"lumio-mirror 1\na/../../01.ogg\t/m/01.flac\t1\t1\n", std::nullopt},
      {"lumio-mirror 1\n/etc/passwd\t/m/01.flac\t1\t1\n", std::nullopt},
      {"lumio-mirror 1\na//01.ogg\t/m/01.flac\t1\t1\n", std::nullopt},
      {"lumio-mirror 1\n./01.ogg\t/m/01.flac\t1\t1\n", std::nullopt},
      {"lumio-mirror 1\n01.ogg\tm/01.flac\t1\t1\n", std::nullopt},
      {"lumio-mirror 1\n01\\x.ogg\t/m/01.flac\t1\t1\n", std::nullopt},
      {"lumio-mirror 1\n01.ogg\\\t/m/01.flac\t1\t1\n", std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ParseMirrorManifest(row.text), row.entries) << row.text;
    if (row.entries) {
      EXPECT_EQ(FormatMirrorManifest(*row.entries), row.text);
    }
  }
  EXPECT_FALSE(
      ParseMirrorManifest("lumio-mirror 1\n" + std::string(kLongestMirrorManifest, 'x') + "\n"));
}

TEST(MirrorManifestTest, TellsLossyFormatsByTheirFirstBytes) {
  struct Row {
    std::string bytes;
    LossyFormat format;
  };
  const Row rows[] = {
      {test::OggFirstPage("\x01vorbis"), LossyFormat::OggVorbis},
      {test::OggFirstPage("OpusHead"), LossyFormat::OggOpus},
      {test::OggFirstPage("\x7f"
                          "FLAC"),
       LossyFormat::None},
      {test::OggFirstPage("\x01vorbis").substr(0, 20), LossyFormat::None},
      {std::string("ID3\x04\0\0\0\0\x01\x7f", 10), LossyFormat::Mp3},
      {std::string("ID3\x04\0\0\0\0\x80\0", 10), LossyFormat::None},
      {"\xff\xfb\x90\x64", LossyFormat::Mp3},
      {"\xff\xfd\x90\x64", LossyFormat::None},  // layer II
      {"\xff\xf1\x50\x80\x02\x1f\xfc", LossyFormat::AdtsAac},
      {"fLaC\0\0\0\x22", LossyFormat::None},
      {"RIFF\0\0\0\0WAVE", LossyFormat::None},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LossyFormatOf(row.bytes), row.format) << row.bytes;
  }
}

// A mirror's root with one listed output whose source lies in a library folder.
struct MirrorTree {
  MirrorTree() {
    fs::create_directories(Root() + "lib/a");
    fs::create_directories(folder_.PathOf("lib/a"));
    test::WriteFile(Root() + "lib/a/01.ogg", "encoded");
    test::WriteFile(folder_.PathOf("lib/a/01.flac"), "source");
  }
  std::string Root() const { return folder_.PathOf("out/"); }
  std::string Library() const { return folder_.PathOf("lib"); }
  MirrorEntry Listed() const {
    return *WrittenEntry(Root(), Root() + "lib/a/01.ogg", folder_.PathOf("lib/a/01.flac"));
  }

  test::TemporaryFolder folder_;
};

TEST(MirrorPruneTest, RemovesOnlyAnUnchangedOutputWhoseSourceIsGoneFromAFolderThatIsThere) {
  struct Row {
    const char* name;
    std::function<void(MirrorTree&)> change;
    bool removed;
  };
  const Row rows[] = {
      {"source there", [](auto&) {}, false},
      {"source gone", [](auto& t) { fs::remove(t.folder_.PathOf("lib/a/01.flac")); }, true},
      {"library unmounted", [](auto& t) { fs::remove_all(t.Library()); }, false},
      {"output changed by hand",
       [](auto& t) {
         fs::remove(t.folder_.PathOf("lib/a/01.flac"));
         test::WriteFile(t.Root() + "lib/a/01.ogg", "edited!");
       },
       false},
      {"output a link now",
       [](auto& t) {
         fs::remove(t.folder_.PathOf("lib/a/01.flac"));
         fs::remove(t.Root() + "lib/a/01.ogg");
         fs::create_symlink("/etc/hostname", t.Root() + "lib/a/01.ogg");
       },
       false},
  };
  for (const Row& row : rows) {
    MirrorTree fixture;
    const std::vector<MirrorEntry> listed{fixture.Listed()};
    row.change(fixture);
    const std::vector<MirrorEntry> orphans =
        OrphanedOutputs(listed, fixture.Root(), {fixture.Library()});
    const PruneOutcome outcome = RemoveOrphanedOutputs(orphans, fixture.Root());
    EXPECT_EQ(outcome.removed.size(), row.removed ? 1u : 0u) << row.name;
    // The folders the removal left empty go; the root stays.
    EXPECT_EQ(fs::exists(fixture.Root() + "lib"), !row.removed) << row.name;
    EXPECT_TRUE(fs::exists(fixture.Root())) << row.name;
  }
}

TEST(MirrorPruneTest, TheListKeepsWhatIsStillThereAndTakesWhatWasWritten) {
  const MirrorTree tree;
  const MirrorEntry gone{"lib/b/02.ogg", "/m/02.flac", 1, 1};
  const MirrorEntry written{"lib/a/01.ogg", "/m/new.flac", 7, 8};
  const std::string root = tree.Root();
  EXPECT_EQ(UpdatedManifest(root, {tree.Listed(), gone}, {}, {written}), std::vector{written});
  EXPECT_EQ(UpdatedManifest(root, {tree.Listed(), gone}, {tree.Listed()}, {}),
            std::vector<MirrorEntry>());
  EXPECT_EQ(ReadMirrorManifest(root), std::vector<MirrorEntry>());
  ASSERT_TRUE(WriteMirrorManifest(root, {tree.Listed()}));
  EXPECT_EQ(ReadMirrorManifest(root), std::vector{tree.Listed()});
  ASSERT_TRUE(test::WriteFile(root + ".lumio-mirror", "my notes\n"));
  EXPECT_EQ(ReadMirrorManifest(root), std::nullopt);
}

}  // namespace
}  // namespace lumio
