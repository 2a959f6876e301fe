// Any bytes as a settings file, then a few writes of fuzzed values: saving, loading and
// saving again must give the same file, and every value written reads back after the
// reload (with the blanks at its ends trimmed, as loading does).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/settings_store.h"
#include "tests/support/temporary_folder.h"

namespace {

// A folder of this run's own, removed at exit; in memory (/dev/shm) where there is one,
// since every save flushes to disk.
const lumio::test::TemporaryFolder& Folder() {
  static const lumio::test::TemporaryFolder folder(std::filesystem::is_directory("/dev/shm")
                                                       ? std::filesystem::path("/dev/shm")
                                                       : std::filesystem::temp_directory_path());
  return folder;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && static_cast<unsigned char>(text[start]) <= 32) ++start;
  return text.substr(start);
}

bool Storable(const std::string& value) {
  return value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string path = Folder().PathOf("lumio.ini");
  const char* const sections[] = {"Options", "EncodeOption", "General"};
  const char* const keys[] = {"SameOutPut", "Quality", "DefDir"};
  struct Written {
    int slot;
    std::string value;
  } writes[3];
  const int count = input.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < count; ++i) {
    writes[i] = {input.ConsumeIntegralInRange(0, 2), input.ConsumeRandomLengthString(64)};
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << input.ConsumeRemainingBytesAsString();

  lumio::SettingsStore first(path, lumio::CodePage::ShiftJis);
  std::string expected[3];
  bool written[3] = {false, false, false};
  for (int i = 0; i < count; ++i) {
    const Written& w = writes[i];
    first.WriteString(sections[w.slot], keys[w.slot], w.value);
    if (Storable(w.value)) {
      expected[w.slot] = Trimmed(w.value);
      written[w.slot] = true;
    }
  }
  if (!first.UpdateFile().ok) std::abort();

  lumio::SettingsStore second(path, lumio::CodePage::ShiftJis);
  for (int slot = 0; slot < 3; ++slot) {
    if (written[slot] && second.ReadString(sections[slot], keys[slot], "") != expected[slot]) {
      std::abort();
    }
  }
  if (!second.UpdateFile().ok) std::abort();
  const std::string once = lumio::test::ReadFile(path);
  lumio::SettingsStore third(path, lumio::CodePage::ShiftJis);
  if (!third.UpdateFile().ok || lumio::test::ReadFile(path) != once) std::abort();
  return 0;
}
