#include "core/wave_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/byte_order.h"
#include "core/byte_source.h"
#include "core/chunk_walk.h"
#include "core/info_line.h"
#include "core/wave_source_reader.h"

namespace lumio {

namespace {

// The RIFF header, the form type and the 16-byte PCM format chunk, read as one block at
// fixed offsets whatever sizes the file declares.
constexpr std::size_t kHeaderBlockSize = 36;
constexpr std::size_t kChunkHeaderSize = 8;

bool IsPcmWave(const unsigned char* block) {
  return std::memcmp(block, "RIFF", 4) == 0 && std::memcmp(block + 8, "WAVEfmt ", 8) == 0 &&
         Le16(block + 20) == 1;
}

// Chunk identifiers are four printable ASCII characters. Anything else means the scan
// has left the chunk structure (zero bytes, sample data), where hopping on by 8 bytes at
// a time through gigabytes of zeros would hold the program up for a minute.
bool IsChunkIdentifier(const unsigned char* id) {
  return std::all_of(id, id + 4, [](unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; });
}

// Where the "data" chunk lies and the size it declares.
struct DataChunk {
  std::uint64_t bodyPosition = 0;
  std::uint32_t size = 0;
};

// Hops from chunk header to chunk header, skipping bodies by their declared size (odd
// sizes unpadded), until the "data" chunk, starting with `header`, the one at offset 36.
// A header cut short by the end of the file, one that would not fit wholly inside it, one
// whose identifier is no chunk identifier, or more chunks than any real file holds end
// the scan with nothing found.
std::optional<DataChunk> FindDataChunk(ByteSource& source,
                                       unsigned char (&header)[kChunkHeaderSize]) {
  std::uint64_t position = kHeaderBlockSize;
  std::uint64_t length = 0;
  bool lengthKnown = false;  // most files have their data chunk first: no length needed
  for (int chunks = 0; chunks < kMostChunks; ++chunks) {
    const std::uint32_t size = Le32(header + 4);
    if (std::memcmp(header, "data", 4) == 0) return DataChunk{position + kChunkHeaderSize, size};
    if (!IsChunkIdentifier(header)) return std::nullopt;
    position += kChunkHeaderSize + std::uint64_t{size};
    if (!lengthKnown) {
      length = source.Length();
      lengthKnown = true;
    }
    if (length < position + kChunkHeaderSize) return std::nullopt;
    if (source.ReadAt(position, header, kChunkHeaderSize) < kChunkHeaderSize) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

bool ReadWaveInfo(ByteSource& source, AudioFigures& wave) {
  wave = AudioFigures();

  // The block and the chunk header behind it in one read: most files have their data
  // chunk there, and one read is what adding a file mostly costs.
  unsigned char start[kHeaderBlockSize + kChunkHeaderSize];
  const std::size_t got = source.ReadAt(0, start, sizeof start);
  // A file too short to hold the block is not a PCM WAVE file; the missing bytes are
  // never taken as header fields.
  if (got < kHeaderBlockSize) return false;
  const unsigned char* block = start;
  // Checking before the scan spares non-WAVE files a walk over bytes that mean nothing.
  if (!IsPcmWave(block)) return false;

  const std::uint16_t channels = Le16(block + 22);
  const std::uint32_t sampleRate = Le32(block + 24);
  const std::uint32_t byteRate = Le32(block + 28);
  const std::uint16_t bits = Le16(block + 34);
  if (byteRate == 0) throw SourceReadError("the WAVE header declares a byte rate of 0");

  std::optional<DataChunk> data;
  if (got == sizeof start) {
    unsigned char header[kChunkHeaderSize];
    std::memcpy(header, start + kHeaderBlockSize, kChunkHeaderSize);
    data = FindDataChunk(source, header);
  }
  const std::uint64_t dataSize = data ? data->size : 0;
  const std::uint64_t frameBytes = std::uint64_t{channels} * ((bits + 7u) / 8);
  FillAudioFigures({dataSize, byteRate, sampleRate, bits, channels, frameBytes}, wave);
  // The information line keeps the declared size; the shortfall is kept for the check
  // of the output, which would otherwise blame the encoder for a source cut short.
  wave.CutShort = data && data->bodyPosition + data->size > source.Length();
  return true;
}

bool ReadWaveInfo(const std::string& path, AudioFigures& wave) {
  FileByteSource source(path);
  return ReadWaveInfo(source, wave);
}

}  // namespace lumio
