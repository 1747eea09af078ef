// Published songs: their zlib bodies (InflateMedia with its bound) and the whole published-song
// check and rewrite, which unpack the body into a temporary file and check or rewrite the song in
// it.
//
// The bound is exact: a stream that inflates to n bytes passes a bound of n and fails one of
// n - 1, having written no more than the bound. Deflating any bytes and inflating them again
// gives the bytes back.

#include <cstdlib>
#include <unistd.h>

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTree.h"
#include "items/HostFile.h"
#include "items/ZlibStream.h"

using namespace NSFerryman;

namespace {

constexpr std::uint64_t kBound = std::uint64_t{16} << 20;

void InflateWithBounds(CMedia& source) {
  CMemoryMedia whole;
  source.SetPosition(0);
  if (!fuzz::Tolerate([&] { InflateMedia(source, whole, kBound); })) return;
  const std::uint64_t n = whole.GetSize();
  CMemoryMedia exact;
  source.SetPosition(0);
  fuzz::ExpectFinishes([&] { InflateMedia(source, exact, n); }, "a stream fails the bound of its own size");
  if (n == 0) return;
  CMemoryMedia shorter;
  source.SetPosition(0);
  fuzz::Expect(!fuzz::Tolerate([&] { InflateMedia(source, shorter, n - 1); }), "a stream passes a bound below its size");
  fuzz::Expect(shorter.GetSize() <= n - 1, "inflating wrote past its bound");
}

void DeflateRoundTrip(CMedia& source) {
  source.SetPosition(0);
  CMemoryMedia packed;
  DeflateMedia(source, packed);
  packed.SetPosition(0);
  CMemoryMedia unpacked;
  InflateMedia(packed, unpacked, source.GetSize());
  auto& original = static_cast<CMemoryMedia&>(source);
  fuzz::Expect(unpacked.GetSize() == original.GetSize() &&
                   std::equal(original.Data(), original.Data() + original.GetSize(), unpacked.Data()),
               "deflating and inflating changed the bytes");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The check's temporary files go to memory where that is possible.
  if (!std::getenv("TMPDIR") && ::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto media = fuzz::MediaOf(data, size);
  InflateWithBounds(*media);
  DeflateRoundTrip(*media);

  const CReferenceContext& context = fuzz::FuzzReferenceContext();
  ExternalHamperNames names;
  fuzz::Tolerate([&] { CheckHostFile(EHostFileKind::kPublishedSong, *media, context, names); });
  // A file without a song in it is copied as it is; one with a song must keep it readable.
  const bool readable = fuzz::Tolerate([&] { (void)ReadHostFileReferences(EHostFileKind::kPublishedSong, *media); });
  CMemoryMedia output;
  if (fuzz::Tolerate([&] { RewriteHostFile(EHostFileKind::kPublishedSong, *media, output, context); }) && readable) {
    output.SetPosition(0);
    fuzz::ExpectFinishes([&] { (void)ReadHostFileReferences(EHostFileKind::kPublishedSong, output); },
                         "a rewritten published song cannot be read again");
  }
  return 0;
}
