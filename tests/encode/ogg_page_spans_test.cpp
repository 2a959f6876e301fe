#include "encode/ogg/ogg_page_spans.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <QByteArray>
#include <cstdint>
#include <string>
#include <vector>

#include "encode/finish/picture_texts.h"
#include "encode/ogg/ogg_checksum.h"
#include "support/ogg_rewrite.h"

namespace lumio {
namespace {

// Bytes that differ from one position to the next, so that a span off by one byte
// gives another checksum.
std::string Noise(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<char>(seed >> 24);
  }
  return bytes;
}

TEST(OggChecksumTest, CombinedAndSpanChecksumsEqualThoseOfTheBytesThemselves) {
  const std::string text = Noise(3000, 7);
  const SpanChecksums spans(text);
  // Within one block, across one boundary, from and to block boundaries, over many
  // blocks, empty, and the whole text with its part of a block at the end.
  const struct {
    std::size_t begin;
    std::size_t end;
  } rows[] = {{0, 0},      {0, 1},       {5, 200},   {255, 257}, {256, 512}, {1, 2999},  {0, 3000},
              {700, 2304}, {2999, 3000}, {100, 100}, {1, 511},   {255, 767}, {257, 1023}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.begin) + ".." + std::to_string(row.end));
    const std::string_view span = std::string_view(text).substr(row.begin, row.end - row.begin);
    EXPECT_EQ(spans.Of(row.begin, row.end), OggChecksum(span));
    // Any cut of the span combines back into its checksum.
    const std::size_t cut = span.size() / 3;
    EXPECT_EQ(CombineOggChecksums(OggChecksum(span.substr(0, cut)), OggChecksum(span.substr(cut)),
                                  span.size() - cut),
              OggChecksum(span));
  }
}

// The pages libogg makes of `packets`: the first alone, flushed, then the rest flushed.
std::string LiboggPages(std::uint32_t serial, const std::vector<std::string>& packets) {
  ogg_stream_state stream;
  ogg_stream_init(&stream, static_cast<int>(serial));
  std::string pages;
  ogg_page page;
  const auto flush = [&] {
    while (ogg_stream_flush(&stream, &page) != 0) {
      pages.append(reinterpret_cast<const char*>(page.header), page.header_len);
      pages.append(reinterpret_cast<const char*>(page.body), page.body_len);
    }
  };
  for (std::size_t i = 0; i < packets.size(); ++i) {
    ogg_packet packet{reinterpret_cast<unsigned char*>(const_cast<char*>(packets[i].data())),
                      static_cast<long>(packets[i].size()),
                      i == 0,
                      0,
                      0,
                      static_cast<ogg_int64_t>(i)};
    ogg_stream_packetin(&stream, &packet);
    if (i == 0) flush();
  }
  flush();
  ogg_stream_clear(&stream);
  return pages;
}

std::uint32_t PageCount(const std::string& pages) {
  std::uint32_t count = 0;
  for (std::size_t at = 0; at + 27 <= pages.size(); ++count) {
    const std::size_t segments = static_cast<unsigned char>(pages[at + 26]);
    std::size_t body = 0;
    for (std::size_t i = 0; i < segments; ++i)
      body += static_cast<unsigned char>(pages[at + 27 + i]);
    at += 27 + segments + body;
  }
  return count;
}

TEST(OggPageSpansTest, PacketsOfOwnAndSharedPartsMakeTheSamePagesAsLibogg) {
  // The second packet's length decides where pages end: empty, just under, at and just
  // over a segment and a page, and over several pages.
  const std::string picture = Noise(200000, 11);
  const auto shared = std::make_shared<const SharedText>(picture);
  const struct {
    const char* name;
    std::size_t before;  // bytes of its own ahead of the shared text, or the packet's size
    bool withShared;
  } rows[] = {
      {"empty", 0, false},
      {"254 bytes", 254, false},
      {"255 bytes", 255, false},
      {"256 bytes", 256, false},
      {"a page less one", 65024, false},
      {"a page", 65025, false},
      {"a page and one", 65026, false},
      {"shared text at the start", 0, true},
      {"shared text after 1 byte", 1, true},
      {"shared text after 300 bytes", 300, true},
      {"shared text after 65100 bytes", 65100, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string identification = Noise(30, 1);
    const std::string own = Noise(row.before, 2);
    const std::string tail = "\x01";
    const std::string setup = Noise(3000, 3);
    std::string comment = own;
    PacketParts commentParts;
    commentParts.emplace_back(own);
    if (row.withShared) {
      commentParts.emplace_back(shared);
      commentParts.emplace_back(tail);
      comment += picture + tail;
    }
    OggPageSpans pages;
    PacketParts first;
    first.emplace_back(identification);
    std::vector<PacketParts> firstGroup;
    firstGroup.push_back(std::move(first));
    pages.AppendPackets(0x5eed, std::move(firstGroup));
    PacketParts setupParts;
    setupParts.emplace_back(setup);
    std::vector<PacketParts> rest;
    rest.push_back(std::move(commentParts));
    rest.push_back(std::move(setupParts));
    pages.AppendPackets(0x5eed, std::move(rest));

    const std::string expected = LiboggPages(0x5eed, {identification, comment, setup});
    EXPECT_EQ(test::Joined(pages.Spans()), expected);
    EXPECT_EQ(pages.PageCount(), PageCount(expected));
  }
}

TEST(PictureTextsTest, TheSameBlockSharesOneTextWhileTheBoundKeepsIt) {
  const std::string cover = Noise(1000, 21);
  const std::string back = Noise(1000, 22);
  std::string coverAgain = cover;
  PictureTexts texts(5000);
  const std::shared_ptr<const SharedText> first = texts.TextOf(cover);
  EXPECT_EQ(first->Text(), QByteArray::fromStdString(cover).toBase64().toStdString());
  EXPECT_EQ(texts.TextOf(coverAgain), first);  // equal bytes, not the same string
  const std::shared_ptr<const SharedText> other = texts.TextOf(back);
  EXPECT_NE(other, first);
  EXPECT_EQ(other->Text(), QByteArray::fromStdString(back).toBase64().toStdString());
  // Each takes 1000 + 1336 bytes: a third pushes the oldest out, and the newest stays
  // even when it alone is over the bound.
  texts.TextOf(Noise(1000, 23));
  EXPECT_NE(texts.TextOf(cover), first);
  const std::string huge = Noise(8000, 24);
  const std::shared_ptr<const SharedText> big = texts.TextOf(huge);
  EXPECT_EQ(texts.TextOf(huge), big);
}

}  // namespace
}  // namespace lumio
