#include "core/tag_byte_stream.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>

#include "core/source_tags.h"
#include "support/sound_bytes.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

TEST(TagByteStream, ShowsTagLibNoMoreThanItsLengthAndSixteenMegabytesAtATime) {
  const std::string bytes(100, 'b');
  MemoryByteSource source(bytes);
  TagByteStream stream(source, 60, "memory");
  EXPECT_EQ(stream.length(), 60);
  stream.seek(50, TagLib::IOStream::Beginning);
  EXPECT_EQ(stream.readBlock(100).size(), 10u);
  EXPECT_EQ(stream.tell(), 60);
  EXPECT_TRUE(stream.readBlock(1).isEmpty());
  stream.seek(0, TagLib::IOStream::Beginning);
  EXPECT_TRUE(stream.readBlock(0).isEmpty());  // no read into an empty buffer
  stream.seek(-4, TagLib::IOStream::End);
  EXPECT_EQ(stream.readBlock(100).size(), 4u);
  // A length beyond the source's is the source's.
  EXPECT_EQ(TagByteStream(source, 1000, "memory").length(), 100);

  // A source far larger than any tag: the read stops at 16 MB.
  const std::string large(17u << 20, 'l');
  MemoryByteSource largeSource(large);
  TagByteStream largeStream(largeSource, large.size(), "large");
  EXPECT_EQ(largeStream.readBlock(1u << 30).size(), 16u << 20);
}

long PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// A WAVE file whose id3 chunk of 200 MB (sparse on disk) holds a tag of that size: a
// title, then zeros. Reading its tags once took the whole chunk into memory.
TEST(TagByteStream, HugeId3ChunkIsNotReadWhole) {
  const test::TemporaryFolder temporary;
  constexpr std::uint32_t kTagSize = 200u << 20;
  const auto synchsafe = [](std::uint32_t size) {
    std::string bytes;
    for (int shift = 21; shift >= 0; shift -= 7) bytes += static_cast<char>(size >> shift & 0x7F);
    return bytes;
  };
  const std::string title = "TIT2" + test::Be32(6) + std::string(2, '\0') + '\0' + "Title";
  const std::string prefix = test::HeaderBlock({}) + test::Chunk("data", 4, 4) +
                             test::Chunk("id3 ", kTagSize + 10) + "ID3\x03" + std::string(2, '\0') +
                             synchsafe(kTagSize) + title;
  const std::string path = temporary.Write("huge id3.wav", prefix);
  const std::uint64_t length = prefix.size() - title.size() + kTagSize;
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(length)), 0);

  const long before = PeakMegabytes();
  FileByteSource source(path);
  EXPECT_EQ(ReadSourceTags(source, path, AudioKind::Wave).Title, "Title");
  EXPECT_LT(PeakMegabytes() - before, 100);
}

}  // namespace
}  // namespace lumio
