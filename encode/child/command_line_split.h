#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace lumio {

// Cuts a command line into its argument vector by the Windows C runtime rules: the check
// that BuildCommandLine's text holds exactly the arguments the encoder is given
// (BuildEncoderArguments). Nothing on the way to the encoder uses it.
// argv[0], the program path: double quotes switch quoting on and off and are dropped,
// backslashes are literal, and it ends at the first space or tab outside quotes.
// The other arguments: spaces and tabs separate them outside quotes; 2n backslashes and a
// double quote give n backslashes and a quote that opens or closes quoting; 2n+1
// backslashes and a double quote give n backslashes and a literal double quote;
// backslashes not before a double quote are literal; two double quotes inside quotes give
// one literal double quote and quoting goes on.
// The line is read by whole characters of `codePage`, as the runtime's multibyte argv
// is: a 0x5C trail byte of a Shift-JIS character is no backslash, just as EscapeQuotes
// does not double it. An empty line gives an empty vector.
std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          CodePage codePage = CodePage::Utf8);

}  // namespace lumio
