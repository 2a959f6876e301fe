#include "ui/job_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/settings_store.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

// Each change of the list told to a model tester, which fails on any notice that does
// not match the rows; rows held by a view (its selection, its current row) must stay
// on their entries, and the rows must show the records in list order.
TEST(JobListModelTest, ChangesAreToldAsRowsThatMatchTheRecords) {
  const test::TemporaryFolder folder;
  const SettingsStore settings(folder.Path() + "/lumio.ini");
  struct Case {
    const char* name;
    std::function<void(JobListModel&)> change;
    std::vector<int> order;  // the entries' first places, in list order afterwards
  };
  const Case cases[] = {
      {"unreadable file",
       [&settings](JobListModel& jobs) {
         EXPECT_FALSE(jobs.AddReadSource("/x/bad.wav", SourceReading{}, settings, "/o/", {}));
       },
       {0, 1, 2, 3, 4}},
      {"remove two runs",
       [](JobListModel& jobs) {
         jobs.RemoveSelected({4, 1, 2});
       },
       {0, 3}},
      {"step up",
       [](JobListModel& jobs) {
         jobs.StepSelected({1, 3}, -1);
       },
       {1, 0, 3, 2, 4}},
      {"step down from the end",
       [](JobListModel& jobs) {
         jobs.StepSelected({3, 4}, 1);
       },
       {0, 1, 2, 3, 4}},
      {"move to the end",
       [](JobListModel& jobs) {
         jobs.MoveSelected({0, 2}, 5);
       },
       {1, 3, 4, 0, 2}},
      {"move to the front",
       [](JobListModel& jobs) {
         jobs.MoveSelected({3, 4}, 0);
       },
       {3, 4, 0, 1, 2}},
      {"clear", [](JobListModel& jobs) { jobs.Clear(); }, {}},
  };
  for (const Case& c : cases) {
    JobListModel jobs;
    QAbstractItemModelTester tester(&jobs, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i) {
      paths.push_back("/music/" + std::to_string(i) + ".wav");
      SourceReading reading;
      reading.readable = true;
      ASSERT_TRUE(jobs.AddReadSource(paths.back(), reading, settings, "/o/", {}));
    }
    std::vector<QPersistentModelIndex> held;
    for (int row = 0; row < jobs.rowCount(); ++row) {
      held.emplace_back(jobs.index(row, 0));
    }

    c.change(jobs);

    ASSERT_EQ(jobs.rowCount(), static_cast<int>(c.order.size())) << c.name;
    ASSERT_EQ(jobs.Jobs().Count(), c.order.size()) << c.name;
    for (std::size_t row = 0; row < c.order.size(); ++row) {
      const std::string& path = paths[static_cast<std::size_t>(c.order[row])];
      EXPECT_EQ(jobs.Jobs().InputPath(row), path) << c.name << " " << row;
      EXPECT_EQ(jobs.index(static_cast<int>(row), 0).data().toString().toStdString(), path)
          << c.name << " " << row;
    }
    for (std::size_t first = 0; first < held.size(); ++first) {
      const auto kept = std::find(c.order.begin(), c.order.end(), static_cast<int>(first));
      if (kept == c.order.end()) {
        EXPECT_FALSE(held[first].isValid()) << c.name << " " << first;
      } else {
        EXPECT_EQ(held[first].row(), kept - c.order.begin()) << c.name << " " << first;
      }
    }
  }
}

// The tracks of one image share its path; their rows say which part each covers.
TEST(JobListModelTest, TracksOfAnImageShowTheirPart) {
  const test::TemporaryFolder folder;
  const SettingsStore settings(folder.Path() + "/lumio.ini");
  struct Case {
    SampleRange range;
    std::uint32_t rate;
    std::uint64_t frames;  // the track's own length
    const char* shown;
  };
  const Case cases[] = {
      {{190 * 44100 + 44099, 342 * 44100, 0}, 44100, 0, "/cd/disc.wav [3:10-5:42]"},
      {{600 * 48000, 0, 0}, 48000, 65 * 48000, "/cd/disc.wav [10:00-11:05]"},
      {{0, 9 * 48000, 0}, 0, 0, "/cd/disc.wav"},  // no rate known: the path alone
  };
  JobListModel jobs;
  for (const Case& c : cases) {
    SourceReading reading;
    reading.readable = true;
    reading.range = c.range;
    reading.audio.SampleRate = c.rate;
    reading.audio.SampleFrames = c.frames;
    ASSERT_TRUE(jobs.AddReadSource("/cd/disc.wav", reading, settings, "/o/", {}));
    EXPECT_EQ(jobs.index(jobs.rowCount() - 1, 0).data().toString().toStdString(), c.shown);
  }
}

}  // namespace
}  // namespace lumio
