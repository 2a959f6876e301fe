// Any bytes as text and as a path, in both code pages and both path styles: stepping
// by characters stays inside the text, a search never lands inside a double-byte
// character, and the folder and file-name parts put together give the path back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/path_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const lumio::PathRules rules{
      input.ConsumeBool() ? lumio::PathStyle::Windows : lumio::PathStyle::Posix,
      input.ConsumeBool() ? lumio::CodePage::ShiftJis : lumio::CodePage::Utf8};
  const char wanted = input.ConsumeIntegral<char>();
  const std::string text = input.ConsumeRemainingBytesAsString();

  std::vector<bool> starts(text.size() + 1, false);
  for (std::size_t pos = 0; pos < text.size();) {
    starts[pos] = true;
    const std::size_t length = lumio::CharacterLength(text, pos, rules.codePage);
    if (length == 0 || pos + length > text.size()) std::abort();
    pos += length;
  }
  const std::size_t found = lumio::FindCharacter(text, wanted, rules.codePage);
  if (found != std::string::npos && (!starts[found] || text[found] != wanted)) std::abort();
  const std::size_t last = lumio::FindLastCharacter(text, "\\/:", rules.codePage);
  if (last != std::string::npos && !starts[last]) std::abort();

  const std::string folder = lumio::FolderPart(text, rules);
  if (folder + lumio::FileNamePart(text, rules) != text) std::abort();
  const std::string withSeparator = lumio::WithTrailingSeparator(text, rules);
  // A text ending in a stray Shift-JIS lead byte pairs with a '\' appended to it, as it
  // would on the system whose rules these are; only other texts must end in a separator.
  const bool pairsWithSeparator =
      !text.empty() && starts[text.size() - 1] &&
      lumio::CharacterLength(withSeparator, text.size() - 1, rules.codePage) == 2;
  if (!pairsWithSeparator) {
    if (lumio::WithTrailingSeparator(withSeparator, rules) != withSeparator) std::abort();
    if (!text.empty() && lumio::FolderPart(withSeparator, rules) != withSeparator) std::abort();
  }
  return 0;
}
