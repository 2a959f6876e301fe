// Stand-in for the encoder in tests. It appends one record of its run to the file
// named by LUMIO_FAKE_RECORD: every argument and its working folder, length-prefixed
// because arguments may hold line breaks, and its nice value. Then, by environment:
//   LUMIO_FAKE_SAY            text written to standard output, then to standard error
//   LUMIO_FAKE_WAIT           "1": sleeps until a signal ends it (60 s at most)
//   LUMIO_FAKE_FAIL_OUTPUT    exits 1 when -o names this file
//   LUMIO_FAKE_EXIT           exit code otherwise (default 0)
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

void WriteItem(std::ofstream& out, const char* tag, const std::string& bytes) {
  out << tag << ' ' << bytes.size() << '\n' << bytes << '\n';
}

std::string OutputName(const std::vector<std::string>& arguments) {
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.rfind("-o", 0) == 0) {
      if (argument.size() > 2) {
        return argument.substr(2);
      }
      return i + 1 < arguments.size() ? arguments[i + 1] : std::string();
    }
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv, argv + argc);
  std::error_code error;
  const std::string folder = std::filesystem::current_path(error).string();
  const int nice = getpriority(PRIO_PROCESS, 0);

  const std::string recordPath = Environment("LUMIO_FAKE_RECORD");
  if (!recordPath.empty()) {
    std::ofstream out(recordPath, std::ios::binary | std::ios::app);
    out << "RUN\n";
    for (const std::string& argument : arguments) {
      WriteItem(out, "ARG", argument);
    }
    WriteItem(out, "CWD", folder);
    out << "NICE " << nice << '\n';
  }

  const std::string say = Environment("LUMIO_FAKE_SAY");
  if (!say.empty()) {
    std::cout << say << std::flush;
    std::cerr << say << std::flush;
  }
  const std::string outputName = OutputName(arguments);
  if (Environment("LUMIO_FAKE_WAIT") == "1") {
    for (int i = 0; i < 600; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 3;
  }
  if (!outputName.empty() && outputName == Environment("LUMIO_FAKE_FAIL_OUTPUT")) {
    return 1;
  }
  const std::string exitCode = Environment("LUMIO_FAKE_EXIT");
  return exitCode.empty() ? 0 : std::atoi(exitCode.c_str());
}
