// zlib streams between media, checked against zlib's own one-call functions.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <zlib.h>

#include "ProbeMedia.h"
#include "framework/media/MemoryMedia.h"
#include "items/ZlibStream.h"

using namespace NSFerryman;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Text-like bytes with some noise: compresses, but not to nothing.
Bytes SongLike(std::size_t n, unsigned seed = 1) {
  std::mt19937 random(seed);
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = (random() % 8 == 0) ? static_cast<std::uint8_t>(random()) : "TesselSong"[i % 10];
  return b;
}

Bytes Compressed(const Bytes& data) {
  uLongf size = compressBound(data.size());
  Bytes out(size);
  EXPECT_EQ(compress2(out.data(), &size, data.data(), data.size(), 9), Z_OK);
  out.resize(size);
  return out;
}

Bytes Contents(CMemoryMedia& m) { return Bytes(m.Data(), m.Data() + m.GetSize()); }

Bytes Inflated(const Bytes& stream, std::uint64_t maxOutput = kMaxInflatedSongBody) {
  CProbeMedia source(stream);
  CMemoryMedia output;
  InflateMedia(source, output, maxOutput);
  return Contents(output);
}

}  // namespace

TEST(ZlibStream, DeflateFromThePositionAndInflateRoundTrip) {
  for (std::size_t length : {0, 1, 2047, 2048, 2049, 100000}) {
    const Bytes data = SongLike(length);
    Bytes withLead = {'l', 'e', 'a', 'd'};
    withLead.insert(withLead.end(), data.begin(), data.end());
    CProbeMedia source(withLead);
    source.SetPosition(4);
    CMemoryMedia deflated;
    deflated.WriteAt(0, 2, "hd");  // written at the output's position
    DeflateMedia(source, deflated);
    const Bytes stream(deflated.Data() + 2, deflated.Data() + deflated.GetSize());

    // zlib's own decoder reads it as one stream of level 9 (flag byte 0xDA).
    Bytes check(length + 1);
    uLongf checkSize = check.size();
    ASSERT_EQ(uncompress(check.data(), &checkSize, stream.data(), stream.size()), Z_OK) << length;
    check.resize(checkSize);
    EXPECT_EQ(check, data) << length;
    EXPECT_EQ(stream[1], 0xDA) << length;
    // And the media reads are in blocks of at most 2048 bytes.
    for (const auto& read : source.reads) EXPECT_LE(read.second, 2048u);

    EXPECT_EQ(Inflated(stream), data) << length;
  }
}

TEST(ZlibStream, InflateStopsAtTheEndOfTheStream) {
  const Bytes data = SongLike(5000);
  Bytes stream = Compressed(data);
  const std::size_t streamSize = stream.size();
  stream.insert(stream.end(), {'t', 'r', 'a', 'i', 'l'});
  CProbeMedia source(stream);
  CMemoryMedia output;
  InflateMedia(source, output);
  EXPECT_EQ(Contents(output), data);
  EXPECT_EQ(source.GetPosition(), streamSize);
}

TEST(ZlibStream, InflateRefusesBadStreams) {
  const Bytes data = SongLike(50000, 7);
  const Bytes stream = Compressed(data);
  Bytes damaged = stream;
  for (std::size_t i = 100; i < 140; ++i) damaged[i] ^= 0xA5;
  Bytes badChecksum = stream;
  ASSERT_GT(badChecksum.size(), 10u);
  badChecksum[badChecksum.size() - 1] ^= 1;
  Bytes badHeader = stream;
  badHeader[1] ^= 1;  // the header check no longer holds
  struct Case {
    const char* what;
    Bytes stream;
    std::uint64_t maxOutput;
  };
  const Case cases[] = {
      {"empty", {}, kMaxInflatedSongBody},
      {"cut short", Bytes(stream.begin(), stream.begin() + stream.size() / 2), kMaxInflatedSongBody},
      {"without its checksum", Bytes(stream.begin(), stream.end() - 4), kMaxInflatedSongBody},
      {"damaged", damaged, kMaxInflatedSongBody},
      {"wrong checksum", badChecksum, kMaxInflatedSongBody},
      {"bad header", badHeader, kMaxInflatedSongBody},
      {"one byte over the bound", stream, data.size() - 1},
  };
  for (const auto& c : cases) EXPECT_THROW(Inflated(c.stream, c.maxOutput), XBadFormat) << c.what;
  EXPECT_EQ(Inflated(stream, data.size()), data) << "exactly at the bound";
}

TEST(ZlibStream, AStreamThatInflatesWithoutEndStopsAtTheBound) {
  // 16 MiB of zeros deflate to about 16 KiB; the bound stops them at 256 KiB written.
  const Bytes zeros(std::size_t{16} << 20, 0);
  CProbeMedia source(Compressed(zeros));
  CMemoryMedia output;
  EXPECT_THROW(InflateMedia(source, output, std::uint64_t{256} << 10), XBadFormat);
  EXPECT_LE(output.GetSize(), std::uint64_t{256} << 10);
}

TEST(ZlibStream, ReadFailuresPassOn) {
  CProbeMedia compressedSource(Compressed(SongLike(30000)));
  compressedSource.failFrom = 1000;
  CMemoryMedia output;
  EXPECT_THROW(InflateMedia(compressedSource, output), XRead);

  CProbeMedia plainSource(SongLike(30000));
  plainSource.failFrom = 10000;
  EXPECT_THROW(DeflateMedia(plainSource, output), XRead);
}
