// Fuzzed arguments of `lumio --batch` (split at NUL bytes, as the kernel hands them
// over): the parser never fails, a refusal is one line, and a path comes back byte for
// byte among the paths.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/batch_options.h"
#include "core/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments{"lumio", "--batch"};
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  arguments.push_back(current);
  const std::string path = "/a\xff path";
  arguments.insert(arguments.end(), {"--", path});
  const lumio::BatchCommandLine parsed = lumio::ParseBatchCommandLine(arguments, size % 2 == 0);
  if (parsed.action == lumio::CommandLineAction::RefuseAndExit) {
    if (parsed.text.empty() || parsed.text.find('\n') != parsed.text.size() - 1) std::abort();
  } else if (parsed.action == lumio::CommandLineAction::Run) {
    if (parsed.options.paths.empty() || parsed.options.paths.back() != path) std::abort();
    lumio::SettingsStore settings("/nonexistent-folder/lumio.ini");
    lumio::ApplyBatchOverrides(parsed.options, settings);
  }
  return 0;
}
