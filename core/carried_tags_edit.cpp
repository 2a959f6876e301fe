#include "core/carried_tags_edit.h"

#include <algorithm>
#include <map>

namespace lumio {

namespace {

// Each field with its occurrence among the fields of its name.
std::vector<std::pair<const CarriedField*, std::size_t>> Numbered(
    const std::vector<CarriedField>& fields) {
  std::map<std::string, std::size_t> seen;
  std::vector<std::pair<const CarriedField*, std::size_t>> numbered;
  for (const CarriedField& field : fields) numbered.emplace_back(&field, seen[field.Name]++);
  return numbered;
}

const CarriedField* Find(const std::vector<CarriedField>& fields, const std::string& name,
                         std::size_t occurrence) {
  for (const auto& [field, number] : Numbered(fields)) {
    if (field->Name == name && number == occurrence) return field;
  }
  return nullptr;
}

}  // namespace

std::vector<SharedField> SharedFields(const std::vector<const CarriedTags*>& entries) {
  std::vector<SharedField> rows;
  for (const CarriedTags* entry : entries) {
    for (const auto& numbered : Numbered(entry->Fields)) {
      const auto& [field, number] = numbered;
      const bool listed = std::any_of(rows.begin(), rows.end(), [&](const SharedField& row) {
        return row.name == numbered.first->Name && row.occurrence == numbered.second;
      });
      if (!listed) rows.push_back({field->Name, number, std::nullopt});
    }
  }
  for (SharedField& row : rows) {
    const CarriedField* first = Find(entries.front()->Fields, row.name, row.occurrence);
    const bool same = first != nullptr && std::all_of(entries.begin(), entries.end(), [&](auto* e) {
                        const CarriedField* other = Find(e->Fields, row.name, row.occurrence);
                        return other != nullptr && other->Value == first->Value;
                      });
    if (same) row.value = first->Value;
  }
  return rows;
}

SharedPictures PicturesInCommon(const std::vector<const CarriedTags*>& entries) {
  const auto same = [](const CarriedPicture& a, const CarriedPicture& b) {
    return a.Type == b.Type && a.Mime == b.Mime && a.Description == b.Description &&
           a.Size == b.Size;
  };
  const auto holds = [&](const CarriedTags* entry, const CarriedPicture& picture) {
    return std::any_of(entry->Pictures.begin(), entry->Pictures.end(),
                       [&](const CarriedPicture& own) { return same(own, picture); });
  };
  SharedPictures shared;
  if (entries.empty()) return shared;
  for (const CarriedPicture& picture : entries.front()->Pictures) {
    if (std::all_of(entries.begin(), entries.end(), [&](auto* e) { return holds(e, picture); })) {
      shared.pictures.push_back(picture);
    }
  }
  shared.othersDiffer = std::any_of(entries.begin(), entries.end(), [&](auto* e) {
    return std::any_of(e->Pictures.begin(), e->Pictures.end(), [&](const CarriedPicture& own) {
      return !std::any_of(shared.pictures.begin(), shared.pictures.end(),
                          [&](const CarriedPicture& kept) { return same(own, kept); });
    });
  });
  return shared;
}

void ApplyFieldEdits(CarriedTags& carried, const std::vector<FieldEdit>& edits) {
  using Kind = FieldEdit::Kind;
  std::vector<CarriedField> result;
  std::vector<bool> used(edits.size(), false);
  for (const auto& [field, number] : Numbered(carried.Fields)) {
    bool removed = false;
    std::string value = field->Value;
    for (std::size_t i = 0; i < edits.size(); ++i) {
      const FieldEdit& edit = edits[i];
      if (edit.kind == Kind::Add || edit.name != field->Name || edit.occurrence != number) continue;
      used[i] = true;
      removed = edit.kind == Kind::Remove;
      value = edit.value;
    }
    if (!removed) result.push_back({field->Name, std::move(value)});
  }
  for (std::size_t i = 0; i < edits.size(); ++i) {
    if (!used[i] && edits[i].kind != Kind::Remove)
      result.push_back({edits[i].name, edits[i].value});
  }
  carried.Fields = std::move(result);
}

}  // namespace lumio
