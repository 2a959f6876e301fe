#include "core/carried_tags_edit.h"

#include <gtest/gtest.h>

#include "support/print_carried_field.h"

namespace lumio {

namespace {

using Fields = std::vector<CarriedField>;
using Kind = FieldEdit::Kind;

CarriedTags With(Fields fields) { return CarriedTags{std::move(fields), {}, {}, {}, {}}; }

// Rows of several entries: the k-th field of a name is one row, shown only when every
// entry holds the same value there.
TEST(CarriedTagsEdit, RowsShowValuesOnlyWhereAllEntriesAgree) {
  const CarriedTags a = With({{"GENRE", "Rock"}, {"ARTIST2", "x"}, {"GENRE", "Pop"}});
  const CarriedTags b = With({{"GENRE", "Rock"}, {"GENRE", "Jazz"}, {"MOOD", "calm"}});
  const std::vector<SharedField> rows = SharedFields({&a, &b});
  ASSERT_EQ(rows.size(), 4u);
  const struct {
    const char* name;
    std::size_t occurrence;
    std::optional<std::string> value;
  } expected[] = {{"GENRE", 0, "Rock"},
                  {"ARTIST2", 0, std::nullopt},
                  {"GENRE", 1, std::nullopt},
                  {"MOOD", 0, std::nullopt}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].name, expected[i].name);
    EXPECT_EQ(rows[i].occurrence, expected[i].occurrence);
    EXPECT_EQ(rows[i].value, expected[i].value);
  }
  const std::vector<SharedField> one = SharedFields({&a});
  ASSERT_EQ(one.size(), 3u);
  EXPECT_EQ(one[2].value, "Pop");
}

TEST(CarriedTagsEdit, EditsTouchOnlyTheirRowsAndKeepTheOrder) {
  const Fields source{{"GENRE", "Rock"}, {"MOOD", "calm"}, {"GENRE", "Pop"}};
  const struct {
    const char* name;
    std::vector<FieldEdit> edits;
    Fields expected;
  } cases[] = {
      {"none", {}, source},
      {"change the second genre",
       {{Kind::Change, "GENRE", 1, "Jazz"}},
       {{"GENRE", "Rock"}, {"MOOD", "calm"}, {"GENRE", "Jazz"}}},
      {"remove the first genre",
       {{Kind::Remove, "GENRE", 0, ""}},
       {{"MOOD", "calm"}, {"GENRE", "Pop"}}},
      {"change a row the entry lacks",
       {{Kind::Change, "GENRE", 2, "Folk"}},
       {{"GENRE", "Rock"}, {"MOOD", "calm"}, {"GENRE", "Pop"}, {"GENRE", "Folk"}}},
      {"remove a row the entry lacks", {{Kind::Remove, "LYRICS", 0, ""}}, source},
      {"add",
       {{Kind::Add, "GENRE", 0, "Ska"}},
       {{"GENRE", "Rock"}, {"MOOD", "calm"}, {"GENRE", "Pop"}, {"GENRE", "Ska"}}},
      {"change to empty keeps the field",
       {{Kind::Change, "MOOD", 0, ""}},
       {{"GENRE", "Rock"}, {"MOOD", ""}, {"GENRE", "Pop"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CarriedTags carried = With(source);
    ApplyFieldEdits(carried, c.edits);
    EXPECT_EQ(carried.Fields, c.expected);
  }
}

}  // namespace
}  // namespace lumio
