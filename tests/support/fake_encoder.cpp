// Stand-in for the encoder in tests, among them a long run that a test cancels
// (LUMIO_FAKE_WAIT), also under the real program. It appends one record of its run to
// the file named by LUMIO_FAKE_RECORD: every argument and its working folder,
// length-prefixed because arguments may hold line breaks, and its nice value. Then, by
// environment:
//   LUMIO_FAKE_SAY            text written to standard output, then to standard error
//   LUMIO_FAKE_WAIT           "1": writes half an output file (before it says anything),
//                             then sleeps until a signal ends it (60 s at most)
//   LUMIO_FAKE_FAIL_INPUT     exits 1 when the last argument (the input) ends with this
//   LUMIO_FAKE_SLOW_INPUT     takes half a second when the input ends with this, or
//                             until the file LUMIO_FAKE_HOLD_UNTIL names exists (60 s at
//                             most) when that is given
//   LUMIO_FAKE_NO_OUTPUT      "1": writes no output file
//   LUMIO_FAKE_SIGNAL         a signal's number: raised after saying, as a crash
//   LUMIO_FAKE_CRASH_INPUT    when given, the signal is raised only when the input ends
//                             with this
//   LUMIO_FAKE_EXIT           exit code otherwise (default 0)
//   LUMIO_FAKE_KEEP_INPUT     when the input is "-": its standard input is copied into
//                             the file of this name first, as a decoder wrote it
//   LUMIO_FAKE_OUTPUT_FROM    the file whose bytes a run that ends with 0 writes as its
//                             output (a real Ogg file, for the steps that read it)
//   LUMIO_FAKE_FIFO_AT        a path replaced by a named pipe just before the run ends,
//                             as a user swaps a file the batch will read after encoding
// A run that ends with exit code 0 writes a small output file under the -o name.
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
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

  const std::string keepInput = Environment("LUMIO_FAKE_KEEP_INPUT");
  if (!keepInput.empty() && arguments.back() == "-") {
    std::ofstream(keepInput, std::ios::binary) << std::cin.rdbuf();
  }

  const std::string outputName = OutputName(arguments);
  const auto writeOutput = [&outputName](const char* bytes) {
    if (!outputName.empty() && Environment("LUMIO_FAKE_NO_OUTPUT") != "1") {
      std::ofstream(outputName, std::ios::binary) << bytes;
    }
  };
  const bool wait = Environment("LUMIO_FAKE_WAIT") == "1";
  // A waiting run has its half file written by the time it speaks.
  if (wait) writeOutput("OggS partial");
  const std::string say = Environment("LUMIO_FAKE_SAY");
  if (!say.empty()) {
    std::cout << say << std::flush;
    std::cerr << say << std::flush;
  }
  if (wait) {
    for (int i = 0; i < 600; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 3;
  }
  const std::string& input = arguments.back();
  const auto inputEndsWith = [&input](const std::string& end) {
    return !end.empty() && input.size() >= end.size() &&
           input.compare(input.size() - end.size(), end.size(), end) == 0;
  };
  if (inputEndsWith(Environment("LUMIO_FAKE_SLOW_INPUT"))) {
    const std::string release = Environment("LUMIO_FAKE_HOLD_UNTIL");
    if (release.empty()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    for (int i = 0; !release.empty() && i < 6000 && !std::filesystem::exists(release); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (inputEndsWith(Environment("LUMIO_FAKE_FAIL_INPUT"))) {
    return 1;
  }
  const std::string crashInput = Environment("LUMIO_FAKE_CRASH_INPUT");
  if (const std::string crash = Environment("LUMIO_FAKE_SIGNAL");
      !crash.empty() && (crashInput.empty() || inputEndsWith(crashInput))) {
    std::cout.flush();
    std::cerr.flush();
    // The default action, not a handler a sanitizer put there: the run must see the signal.
    const int number = std::atoi(crash.c_str());
    std::signal(number, SIG_DFL);
    std::raise(number);
  }
  const std::string exitCode = Environment("LUMIO_FAKE_EXIT");
  const int code = exitCode.empty() ? 0 : std::atoi(exitCode.c_str());
  if (code == 0) {
    const std::string from = Environment("LUMIO_FAKE_OUTPUT_FROM");
    if (from.empty()) {
      writeOutput("OggS complete");
    } else {
      std::filesystem::copy_file(from, outputName,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
  const std::string fifo = Environment("LUMIO_FAKE_FIFO_AT");
  if (!fifo.empty() && (!std::filesystem::remove(fifo) || ::mkfifo(fifo.c_str(), 0644) != 0)) {
    return 4;
  }
  return code;
}
