#include "encode/child/command_line_split.h"

namespace lumio {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine, CodePage codePage) {
  std::vector<std::string> arguments;
  if (commandLine.empty()) return arguments;

  const std::size_t size = commandLine.size();
  std::size_t pos = 0;

  // The program path knows no escapes: quotes only switch quoting.
  std::string program;
  bool quoted = false;
  for (; pos < size; ++pos) {
    const char c = commandLine[pos];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      program += c;
    }
  }
  arguments.push_back(std::move(program));

  while (true) {
    while (pos < size && IsBlank(commandLine[pos])) ++pos;
    if (pos == size) break;

    std::string argument;
    quoted = false;
    while (pos < size) {
      const char c = commandLine[pos];
      if (!quoted && IsBlank(c)) break;
      if (c == '\\') {
        std::size_t run = 0;
        while (pos < size && commandLine[pos] == '\\') {
          ++run;
          ++pos;
        }
        if (pos < size && commandLine[pos] == '"') {
          argument.append(run / 2, '\\');
          if (run % 2 == 1) {
            argument += '"';
            ++pos;
          }
        } else {
          argument.append(run, '\\');
        }
      } else if (c == '"') {
        if (quoted && pos + 1 < size && commandLine[pos + 1] == '"') {
          argument += '"';
          pos += 2;
        } else {
          quoted = !quoted;
          ++pos;
        }
      } else {
        const std::size_t length = CharacterLength(commandLine, pos, codePage);
        argument.append(commandLine.substr(pos, length));
        pos += length;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace lumio
