// Any bytes as an Ogg Vorbis file whose comment packet is replaced: reading its headers
// and rewriting it must return, the edit must be given the comment packet read, and a
// rewritten file must read back with the new comment, the same other packets and a
// checksum right on every page.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "encode/ogg/ogg_comment_packet.h"
#include "tests/support/ogg_rewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::optional<lumio::OggVorbisHeaders> before = lumio::ReadOggVorbisHeaders(file, error);
  // Long enough to need a page of its own.
  const std::string comment(70000, 'c');
  std::string given;
  const std::optional<std::string> rewritten =
      lumio::test::WithComment(file, comment, error, given);
  if (!rewritten) return 0;
  if (!before || given != before->comment) std::abort();
  const std::optional<lumio::OggVorbisHeaders> after =
      lumio::ReadOggVorbisHeaders(*rewritten, error);
  if (!after || after->comment != comment || after->identification != before->identification ||
      after->setup != before->setup || after->serial != before->serial) {
    std::abort();
  }
  // Rewriting again with the same comment gives the same bytes.
  const std::optional<std::string> again =
      lumio::test::WithComment(*rewritten, comment, error, given);
  if (!again || *again != *rewritten) std::abort();
  return 0;
}
