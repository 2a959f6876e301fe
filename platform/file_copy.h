#pragma once

#include <string>

namespace lumio {

// Copies the bytes of the regular file `from` into the existing file `to`, which is
// emptied first, in pieces of at most a mebibyte. `from` is opened without waiting and
// checked on its descriptor, so a pipe or device put in its place is never read; a file
// whose length changes while it is copied fails too. False with the reason in `error`.
bool CopyRegularFile(const std::string& from, const std::string& to, std::string& error);

}  // namespace lumio
