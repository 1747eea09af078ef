#include "items/ZlibStream.h"

#include <algorithm>
#include <new>
#include <string>

#include <zlib.h>

using namespace NSFerryman;

namespace {

constexpr std::size_t kBufferSize = 2048;

// Fills `buffer` from the source's position with up to kBufferSize bytes; the count read.
std::size_t ReadBlock(CMedia& source, Bytef* buffer) {
  const auto n = static_cast<std::size_t>(std::min<MediaSize>(source.Remaining(), kBufferSize));
  if (n > 0) source.Read(n, buffer);
  return n;
}

std::string ZlibMessage(const z_stream& stream, int code) {
  if (stream.msg) return stream.msg;
  return "zlib code " + std::to_string(code);
}

// Ends the stream on every way out.
class CDeflater {
 public:
  CDeflater() {
    const int code = deflateInit(&stream, 9);
    if (code == Z_MEM_ERROR) throw std::bad_alloc();
    if (code != Z_OK) throw XBadFormat("zlib compressor does not start: " + ZlibMessage(stream, code));
  }
  ~CDeflater() { deflateEnd(&stream); }
  CDeflater(const CDeflater&) = delete;
  CDeflater& operator=(const CDeflater&) = delete;
  z_stream stream = {};
};

class CInflater {
 public:
  CInflater() {
    const int code = inflateInit(&stream);
    if (code == Z_MEM_ERROR) throw std::bad_alloc();
    if (code != Z_OK) throw XBadFormat("zlib decompressor does not start: " + ZlibMessage(stream, code));
  }
  ~CInflater() { inflateEnd(&stream); }
  CInflater(const CInflater&) = delete;
  CInflater& operator=(const CInflater&) = delete;
  z_stream stream = {};
};

}  // namespace

void DeflateMedia(CMedia& source, CMedia& output) {
  CDeflater deflater;
  z_stream& z = deflater.stream;
  Bytef in[kBufferSize];
  Bytef out[kBufferSize];
  int flush = Z_NO_FLUSH;
  int code = Z_OK;
  do {
    if (z.avail_in == 0 && flush == Z_NO_FLUSH) {
      z.next_in = in;
      z.avail_in = static_cast<uInt>(ReadBlock(source, in));
      if (z.avail_in == 0) flush = Z_FINISH;
    }
    z.next_out = out;
    z.avail_out = kBufferSize;
    code = deflate(&z, flush);
    if (code == Z_STREAM_ERROR) throw XBadFormat("zlib compressor failed: " + ZlibMessage(z, code));
    const std::size_t produced = kBufferSize - z.avail_out;
    if (produced > 0) output.Write(produced, out);
  } while (code != Z_STREAM_END);
}

void InflateMedia(CMedia& source, CMedia& output, std::uint64_t maxOutput) {
  CInflater inflater;
  z_stream& z = inflater.stream;
  Bytef in[kBufferSize];
  Bytef out[kBufferSize];
  std::uint64_t written = 0;
  int code = Z_OK;
  while (code != Z_STREAM_END) {
    if (z.avail_in == 0) {
      z.next_in = in;
      z.avail_in = static_cast<uInt>(ReadBlock(source, in));
      if (z.avail_in == 0) {
        throw XBadFormat("zlib stream is cut short: the data ends after " + std::to_string(z.total_in) +
                         " bytes, before the end of the stream");
      }
    }
    z.next_out = out;
    z.avail_out = kBufferSize;
    code = inflate(&z, Z_NO_FLUSH);
    switch (code) {
      case Z_OK:
      case Z_STREAM_END:
      case Z_BUF_ERROR:  // no progress possible without more input; the loop reads more
        break;
      case Z_NEED_DICT:
        throw XBadFormat("zlib stream needs a preset dictionary");
      case Z_MEM_ERROR:
        throw std::bad_alloc();
      default:
        throw XBadFormat("zlib stream is damaged after " + std::to_string(z.total_in) + " bytes: " +
                         ZlibMessage(z, code));
    }
    const std::size_t produced = kBufferSize - z.avail_out;
    if (produced > maxOutput - written) {
      throw XBadFormat("zlib stream inflates to more than " + std::to_string(maxOutput) + " bytes");
    }
    if (produced > 0) output.Write(produced, out);
    written += produced;
  }
  // Whatever follows the stream is left unread; the source continues behind the stream.
  source.SetPosition(source.GetPosition() - z.avail_in);
}
