#include "core/name_list.h"

namespace lumio {

namespace {

constexpr std::size_t kNamesShown = 20;

}  // namespace

std::string FirstNamesThenCount(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) text += "\n" + names[i];
  if (names.size() > kNamesShown) {
    text += "\nほか " + std::to_string(names.size() - kNamesShown) + " 件";
  }
  return text;
}

}  // namespace lumio
