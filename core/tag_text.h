#pragma once

#include <taglib/tstring.h>

#include <string>

namespace lumio {

// TagLib's text as UTF-8: a byte that is no part of well-formed UTF-8 becomes U+FFFD.
std::string Utf8(const TagLib::String& text);

// `text` with its line feeds and lone carriage returns as CR LF, the line ends of a
// job record's comment.
std::string WithRecordLineEnds(const std::string& text);

}  // namespace lumio
