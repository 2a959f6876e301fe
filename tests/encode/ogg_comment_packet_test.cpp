#include "encode/ogg/ogg_comment_packet.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>
#include <taglib/vorbisfile.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "encode/finish/vorbis_decoder.h"
#include "platform/file_system.h"
#include "support/ogg_rewrite.h"
#include "support/run_tool.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The pages of an Ogg file from byte `start` on: header bytes and body, as they lie.
struct RawPage {
  std::string header;
  std::string body;
};

std::vector<RawPage> PagesFrom(const std::string& file, std::size_t start) {
  std::vector<RawPage> pages;
  while (start + 27 <= file.size()) {
    const std::size_t segments = static_cast<unsigned char>(file[start + 26]);
    std::size_t body = 0;
    for (std::size_t i = 0; i < segments; ++i)
      body += static_cast<unsigned char>(file[start + 27 + i]);
    pages.push_back({file.substr(start, 27 + segments), file.substr(start + 27 + segments, body)});
    start += 27 + segments + body;
  }
  return pages;
}

std::uint32_t SequenceOf(const RawPage& page) {
  std::uint32_t sequence = 0;
  for (int i = 3; i >= 0; --i)
    sequence = sequence << 8 | static_cast<unsigned char>(page.header[18 + i]);
  return sequence;
}

// A comment packet holding the vendor `vendor` and one field of `size` bytes.
std::string CommentPacket(std::size_t size) {
  std::string packet("\x03vorbis", 7);
  const std::string vendor = "Lumio test";
  const std::string field = "LYRICS=" + std::string(size, 'x');
  const auto put32 = [&packet](std::size_t value) {
    for (int i = 0; i < 4; ++i) packet += static_cast<char>(value >> (8 * i) & 0xFF);
  };
  put32(vendor.size());
  packet += vendor;
  put32(1);
  put32(field.size());
  packet += field;
  return packet + '\x01';
}

class OggCommentPacketTest : public ::testing::Test {
 public:
  void SetUp() override {
    const std::string oggenc = FindOnSearchPath("oggenc");
    if (oggenc.empty()) GTEST_SKIP() << "oggenc is not installed";
    ASSERT_TRUE(test::WriteToneWave(root_ + "tone.wav", 2));
    ASSERT_TRUE(
        test::RunTool({oggenc, "-Q", "-t", "曲", "-o", root_ + "tone.ogg", root_ + "tone.wav"}));
    original_ = ReadBytes(root_ + "tone.ogg");
  }

  const test::TemporaryFolder dir_;
  const std::string root_ = dir_.Path() + "/";
  std::string original_;
};

TEST_F(OggCommentPacketTest, ANewCommentKeepsTheOtherPacketsAndTheAudioPages) {
  std::string error;
  const std::optional<OggVorbisHeaders> before = ReadOggVorbisHeaders(original_, error);
  ASSERT_TRUE(before) << error;
  const std::vector<RawPage> audioBefore = PagesFrom(original_, before->audioStart);
  ASSERT_FALSE(audioBefore.empty());
  // Smaller than before, on more pages than before, and on many more.
  for (const std::size_t size : {std::size_t{1}, std::size_t{70000}, std::size_t{1400000}}) {
    SCOPED_TRACE(size);
    const std::string packet = CommentPacket(size);
    std::string given;
    const std::optional<std::string> rewritten = test::WithComment(original_, packet, error, given);
    ASSERT_TRUE(rewritten) << error;
    EXPECT_EQ(given, before->comment);
    const std::optional<OggVorbisHeaders> after = ReadOggVorbisHeaders(*rewritten, error);
    ASSERT_TRUE(after) << error;  // every checksum right
    EXPECT_EQ(after->identification, before->identification);
    EXPECT_EQ(after->setup, before->setup);
    EXPECT_EQ(after->comment, packet);
    EXPECT_EQ(after->serial, before->serial);

    const std::vector<RawPage> audioAfter = PagesFrom(*rewritten, after->audioStart);
    ASSERT_EQ(audioAfter.size(), audioBefore.size());
    for (std::size_t i = 0; i < audioAfter.size(); ++i) {
      EXPECT_EQ(audioAfter[i].body, audioBefore[i].body);
      EXPECT_EQ(audioAfter[i].header.substr(0, 18), audioBefore[i].header.substr(0, 18));
      EXPECT_EQ(audioAfter[i].header.substr(26), audioBefore[i].header.substr(26));
      EXPECT_EQ(SequenceOf(audioAfter[i]), after->pageCount + i);
    }

    const std::string path = root_ + "out.ogg";
    std::ofstream(path, std::ios::binary) << *rewritten;
    const DecodedStream decoded = DecodeVorbisFile(
        path, [](int, std::uint32_t) {}, [](const float*, std::size_t) {});
    EXPECT_TRUE(decoded.decoded) << decoded.error;
    EXPECT_EQ(decoded.frames, 88200u);
    TagLib::Ogg::Vorbis::File tagged(path.c_str(), false);
    ASSERT_TRUE(tagged.isValid());
    const TagLib::Ogg::FieldListMap fields = tagged.tag()->fieldListMap();
    ASSERT_TRUE(fields.contains("LYRICS"));
    EXPECT_EQ(fields["LYRICS"].front().size(), size);
  }
}

TEST_F(OggCommentPacketTest, ADamagedOrOddFileIsRefused) {
  std::string error;
  const std::optional<OggVorbisHeaders> headers = ReadOggVorbisHeaders(original_, error);
  ASSERT_TRUE(headers) << error;
  std::string flipped = original_;
  flipped[flipped.size() - 10] ^= 0x10;  // in the last audio page
  std::string anotherStream = original_ + original_.substr(0, headers->audioStart);
  anotherStream[original_.size() + 14] ^= 1;  // its serial
  std::string notFirst = original_;
  notFirst[5] = 0;  // no longer the first page of its stream
  std::string hugeSegments = original_.substr(0, 27);
  hugeSegments[26] = static_cast<char>(255);
  const struct {
    const char* name;
    std::string file;
  } cases[] = {
      {"empty", ""},
      {"not Ogg", "RIFF" + std::string(100, '\0')},
      {"cut in the first page's header", original_.substr(0, 20)},
      {"more lacing values than bytes", hugeSegments},
      {"cut inside the headers", original_.substr(0, headers->audioStart - 1)},
      {"cut inside an audio page", original_.substr(0, original_.size() - 1)},
      {"a damaged audio page", flipped},
      {"a second stream after the first", anotherStream},
      {"a first page that does not say so", notFirst},
      {"garbage after the last page", original_ + "junk"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    error.clear();
    std::string given;
    EXPECT_FALSE(test::WithComment(row.file, CommentPacket(10), error, given));
    EXPECT_FALSE(error.empty());
  }
}

TEST_F(OggCommentPacketTest, AFileRemovedBeforeItsEditStaysRemoved) {
  std::string error;
  const auto keep = [](std::string&, std::string&) { return true; };
  EXPECT_FALSE(EditOggCommentInFile(root_ + "gone.ogg", keep, error));
  EXPECT_FALSE(std::ifstream(root_ + "gone.ogg").good());
  const auto refuse = [](std::string&, std::string& why) {
    why = "refused";
    return false;
  };
  EXPECT_FALSE(EditOggCommentInFile(root_ + "tone.ogg", refuse, error));
  EXPECT_EQ(error, "refused");
  EXPECT_EQ(ReadBytes(root_ + "tone.ogg"), original_);
}

// A stream laid out as the encoder lays it out, with `audioPages` pages of one small
// packet each after the headers.
std::string StreamOfManyPages(const std::string& comment, int audioPages) {
  ogg_stream_state stream;
  ogg_stream_init(&stream, 77);
  std::string file;
  ogg_page page;
  const auto put = [&](const std::string& bytes, long number, bool flushNow) {
    ogg_packet packet{reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                      static_cast<long>(bytes.size()),
                      number == 0,
                      0,
                      number < 3 ? 0 : number,
                      number};
    ogg_stream_packetin(&stream, &packet);
    while (flushNow && ogg_stream_flush(&stream, &page) != 0) {
      file.append(reinterpret_cast<const char*>(page.header), page.header_len);
      file.append(reinterpret_cast<const char*>(page.body), page.body_len);
    }
  };
  put("\x01vorbis identification", 0, true);
  put(comment, 1, false);
  put("\x05vorbis setup", 2, true);
  for (int i = 0; i < audioPages; ++i) put("audio " + std::to_string(i), 3 + i, true);
  ogg_stream_clear(&stream);
  return file;
}

TEST_F(OggCommentPacketTest, AFileOfMorePagesThanOneWriteTakesIsWrittenWhole) {
  // Every page is two pieces to write, so 1 500 pages take more than one call.
  const std::string original = StreamOfManyPages(CommentPacket(5), 1500);
  const std::string path = root_ + "many.ogg";
  std::ofstream(path, std::ios::binary) << original;
  std::string error;
  const auto keep = [](std::string&, std::string&) { return true; };
  ASSERT_TRUE(EditOggCommentInFile(path, keep, error)) << error;
  EXPECT_EQ(ReadBytes(path), original);

  // Longer, then shorter again: a file that shrinks keeps no old bytes at its end.
  for (const std::size_t size : {std::size_t{70000}, std::size_t{1}}) {
    SCOPED_TRACE(size);
    const std::string comment = CommentPacket(size);
    const auto replace = [&comment](std::string& packet, std::string&) {
      packet = comment;
      return true;
    };
    ASSERT_TRUE(EditOggCommentInFile(path, replace, error)) << error;
    const std::string expected = StreamOfManyPages(comment, 1500);
    const std::string written = ReadBytes(path);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
  }
}

}  // namespace
}  // namespace lumio
