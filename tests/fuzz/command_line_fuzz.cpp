// Fuzzed tags, names and paths: the command line built for the encoder must be cut back
// into exactly the arguments it was built from, in both code pages, which are the ones
// the encoder is given.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/audio_kind.h"
#include "encode/child/command_line.h"
#include "encode/child/command_line_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const lumio::CodePage codePage =
      input.ConsumeBool() ? lumio::CodePage::ShiftJis : lumio::CodePage::Utf8;
  const std::string optionText = input.ConsumeBool() ? " -q 4.5" : "";
  std::string encoderPath = input.ConsumeRandomLengthString(32);
  std::string fields[8];
  for (std::string& field : fields) field = input.ConsumeRandomLengthString(48);
  // The program path is quoted as it is (the runtime knows no escapes there), so it
  // cannot hold a quote; an empty one would not be cut at all.
  if (encoderPath.empty() || encoderPath.find('"') != std::string::npos) encoderPath = "enc";

  const std::string line =
      lumio::BuildCommandLine(encoderPath, optionText, fields[0], fields[1], fields[2], fields[3],
                              fields[4], fields[5], fields[6], fields[7], codePage);
  std::vector<std::string> expected{encoderPath};
  if (!optionText.empty()) expected.insert(expected.end(), {"-q", "4.5"});
  // A FLAC input is told not to copy its own comments.
  const lumio::PathRules rules{lumio::NativePathRules().style, codePage};
  if (lumio::AudioKindOf(fields[7], rules) == lumio::AudioKind::Flac) {
    expected.push_back("--discard-comments");
  }
  const char* const options[] = {"-t", "-a", "-l", "-d", "-N"};
  for (int i = 0; i < 5; ++i) {
    if (!fields[i].empty()) expected.push_back(options[i] + fields[i]);
  }
  // The comment's CR LF line breaks reach the encoder as line feeds.
  std::string comment;
  for (std::size_t i = 0; i < fields[5].size(); ++i) {
    if (fields[5][i] == '\r' && i + 1 < fields[5].size() && fields[5][i + 1] == '\n') continue;
    comment += fields[5][i];
  }
  if (!fields[5].empty()) expected.push_back("-ccomment=" + comment);
  expected.push_back("-o" + fields[6]);
  expected.push_back(fields[7]);
  if (lumio::SplitCommandLine(line, codePage) != expected) std::abort();
  // The vector the encoder is given holds the same arguments.
  if (lumio::BuildEncoderArguments(encoderPath, optionText, fields[0], fields[1], fields[2],
                                   fields[3], fields[4], fields[5], fields[6], fields[7],
                                   codePage) != expected) {
    std::abort();
  }
  return 0;
}
