#include "encode/run/batch_start.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode_test_support.h"

namespace lumio {
namespace {

class BatchStartTest : public test::JobListTest {};

TEST_F(BatchStartTest, TheRunTakesItsOptionsFromTheSettingsAndNoLaneItCannotUse) {
  const struct {
    const char* name;
    int jobs;
    bool upToDate;  // every output exists and is newer than its input
    int parallel;   // encoders at once
  } rows[] = {
      {"fewer jobs than encoders", 2, false, 2},
      {"more jobs than encoders", 5, false, 3},
      {"nothing to encode", 2, true, 1},
  };
  settings_.WriteInteger("Options", "ParallelEncoders", 3);
  settings_.WriteInteger("Options", "ExistingOutput", 1);  // skip outputs up to date
  settings_.WriteInteger("EncodeOption", "UseOption", 2);
  settings_.WriteInteger("EncodeOption", "Quality", 45);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    jobs_.Clear();
    for (int i = 0; i < row.jobs; ++i) {
      const std::string name = std::string(1, static_cast<char>('a' + i));
      AddJob(name);
      std::filesystem::remove(root_ + "out/" + name + ".ogg");
      if (row.upToDate) std::ofstream(root_ + "out/" + name + ".ogg") << "newer";
    }
    const auto checked = PlanBatch(jobs_, settings_, "", NativePathRules());
    const auto* start = std::get_if<BatchStart>(&checked);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->plan.jobs.size(), static_cast<std::size_t>(row.jobs));
    EXPECT_EQ(start->runOptions.parallel, row.parallel);
    EXPECT_EQ(start->optionText, " -q 4.5");
    EXPECT_EQ(start->existingOutputs, ExistingOutputs::SkipUpToDate);
  }
}

}  // namespace
}  // namespace lumio
