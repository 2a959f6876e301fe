#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace lumio::test {

// The stand-in encoder built from fake_encoder.cpp; what it does is chosen by the
// environment (see there), set with a ScopedEnvironment.
inline const std::string kFakeEncoder = LUMIO_FAKE_ENCODER;

// One run of the fake encoder as it recorded itself.
struct FakeRun {
  std::vector<std::string> arguments;
  std::string folder;
  int nice = 0;
};

inline std::vector<FakeRun> ReadFakeRuns(const std::string& recordPath) {
  std::ifstream in(recordPath, std::ios::binary);
  std::vector<FakeRun> runs;
  std::string tag;
  while (in >> tag) {
    if (tag == "RUN") {
      runs.emplace_back();
    } else if (tag == "NICE") {
      in >> runs.back().nice;
    } else {
      std::size_t length = 0;
      in >> length;
      in.get();
      std::string bytes(length, '\0');
      in.read(bytes.data(), static_cast<std::streamsize>(length));
      (tag == "ARG" ? runs.back().arguments.emplace_back() : runs.back().folder) = bytes;
    }
  }
  return runs;
}

}  // namespace lumio::test
