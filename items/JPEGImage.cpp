#include "items/JPEGImage.h"
#include "items/PicturePreview.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
// jerror.h after jpeglib.h, which it needs.
#include <jerror.h>

using namespace NSFerryman;

namespace {

constexpr std::size_t kSourceBlockSize = 4096;

// libjpeg reports a fatal error by calling error_exit, which must not return, and its default
// ends the process. libjpeg is C, so no C++ exception may pass through its frames: our error_exit
// jumps back to the decoding function with longjmp, and that function throws. The frames jumped
// over (libjpeg's and our callbacks') hold no object with a destructor at the time of the jump.
struct CErrorManager {
  jpeg_error_mgr pub = {};  // first: libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  std::exception_ptr mediaFailure;
};

// Feeds the decoder from the media in blocks, from position 0.
struct CMediaSource {
  jpeg_source_mgr pub = {};  // first, as above; no bytes yet
  CMedia* media = nullptr;
  MediaSize position = 0;  // of the next block
  MediaSize size = 0;
  JOCTET block[kSourceBlockSize];
};

CErrorManager& ErrorOf(j_common_ptr info) { return *reinterpret_cast<CErrorManager*>(info->err); }

void ExitWithError(j_common_ptr info) {
  CErrorManager& error = ErrorOf(info);
  if (info->err->msg_code == JERR_NO_BACKING_STORE) {
    // The library's words ("Backing store not supported") would not tell the user anything.
    std::snprintf(error.message, sizeof error.message, "decoding it needs more than %zu MiB of memory",
                  kMaxJPEGDecodeMemory >> 20);
  } else {
    (*info->err->format_message)(info, error.message);
  }
  std::longjmp(error.jump, 1);
}

// Warnings and traces are not printed. Most warnings are about harmless oddities and are
// dropped; those that say picture data is missing or cannot be decoded fail the picture, as the
// library would otherwise fill the rest of it with grey and carry on, for as many pixels as the
// header claims.
void OnMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  const int code = info->err->msg_code;
  if (code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE || code == JWRN_JPEG_EOF) ExitWithError(info);
}
void OutputNothing(j_common_ptr) {}

// Every scan of a multi-scan picture is decoded over the whole image, so a small file of many
// empty scans could keep the decoder busy for hours.
void LimitScans(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxJPEGScans) return;
  CErrorManager& error = ErrorOf(info);
  std::snprintf(error.message, sizeof error.message, "it has more than %d scans", kMaxJPEGScans);
  std::longjmp(error.jump, 1);
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
  auto* source = reinterpret_cast<CMediaSource*>(info->src);
  // libjpeg's own sources make up an end-of-image marker here and decode a truncated picture
  // as if it were whole: for a check that is the wrong answer.
  if (source->position >= source->size) ERREXIT(info, JERR_INPUT_EOF);
  const auto count = static_cast<std::size_t>(std::min<MediaSize>(kSourceBlockSize, source->size - source->position));
  bool failed = false;
  try {
    source->media->ReadAt(source->position, count, source->block);
  } catch (...) {
    ErrorOf(reinterpret_cast<j_common_ptr>(info)).mediaFailure = std::current_exception();
    failed = true;
  }
  if (failed) ERREXIT(info, JERR_FILE_READ);
  source->position += count;
  source->pub.next_input_byte = source->block;
  source->pub.bytes_in_buffer = count;
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  auto* source = reinterpret_cast<CMediaSource*>(info->src);
  if (count <= 0) return;
  const auto n = static_cast<MediaSize>(count);
  if (n <= source->pub.bytes_in_buffer) {
    source->pub.next_input_byte += n;
    source->pub.bytes_in_buffer -= n;
    return;
  }
  // Past the block: the next fill starts behind the skipped bytes (or finds the end).
  const MediaSize beyond = n - source->pub.bytes_in_buffer;
  source->position = beyond > source->size - std::min(source->position, source->size) ? source->size
                                                                                      : source->position + beyond;
  source->pub.bytes_in_buffer = 0;
}

// What one decoding owns. The decompression object starts zeroed, so destroying it is safe even
// when creating it failed.
struct CDecoding {
  jpeg_decompress_struct info = {};
  CErrorManager error;
  CMediaSource source;
  jpeg_progress_mgr progress = {};
  // A preview's pixels so far and its line buffer; here, in memory the jump back leaves alone.
  std::unique_ptr<CPicturePreviewBuilder> builder;
  std::vector<std::uint32_t> previewLine;

  CDecoding() = default;
  CDecoding(const CDecoding&) = delete;
  CDecoding& operator=(const CDecoding&) = delete;
  ~CDecoding() { jpeg_destroy_decompress(&info); }

  [[noreturn]] void ThrowFailure() {
    if (error.mediaFailure) std::rethrow_exception(error.mediaFailure);
    throw XBadFormat(std::string("JPEG picture does not decode: ") + error.message);
  }
};

// The colour space the bitmap is decoded into, or JCS_UNKNOWN when there is none.
J_COLOR_SPACE BitmapColorSpace(J_COLOR_SPACE stored) {
  switch (stored) {
    case JCS_GRAYSCALE:
      return JCS_GRAYSCALE;
    case JCS_RGB:
    case JCS_YCbCr:
      return JCS_RGB;
    case JCS_CMYK:
    case JCS_YCCK:
      return JCS_CMYK;
    default:
      return JCS_UNKNOWN;
  }
}

std::uint32_t Opaque(unsigned r, unsigned g, unsigned b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

void StoreRow(const jpeg_decompress_struct& info, const JSAMPLE* row, std::uint32_t* out) {
  const JDIMENSION width = info.output_width;
  switch (info.out_color_space) {
    case JCS_GRAYSCALE:
      for (JDIMENSION x = 0; x < width; ++x) out[x] = Opaque(row[x], row[x], row[x]);
      break;
    case JCS_RGB:
      for (JDIMENSION x = 0; x < width; ++x, row += 3) out[x] = Opaque(row[0], row[1], row[2]);
      break;
    default: {  // JCS_CMYK
      // Adobe's writers store CMYK inverted (0 = full ink) and mark it with their marker.
      const bool inverted = info.saw_Adobe_marker;
      for (JDIMENSION x = 0; x < width; ++x, row += 4) {
        unsigned c = row[0], m = row[1], y = row[2], k = row[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        out[x] = Opaque(c * k / 255, m * k / 255, y * k / 255);
      }
      break;
    }
  }
}

struct CSizeLimit {
  std::uint32_t width;
  std::uint32_t height;
};

struct CPreviewRequest {
  std::uint32_t maxSide;
  CBitmap32* preview;
};

// Decodes the picture, into `bitmap` when one is given; with a `limit`, a larger picture is
// refused from its header. With a `preview` request, the picture is decoded at the smallest of
// the decoder's scales that still covers the preview, and shrunk into it line by line.
void Decode(CMedia& media, const CSizeLimit* limit, CBitmap32* bitmap, const CPreviewRequest* preview = nullptr) {
  const MediaSize size = media.GetSize();
  CDecoding d;
  d.info.err = jpeg_std_error(&d.error.pub);
  d.error.pub.error_exit = ExitWithError;
  d.error.pub.emit_message = OnMessage;
  d.error.pub.output_message = OutputNothing;
  d.source.media = &media;
  d.source.size = size;
  d.source.pub.init_source = InitSource;
  d.source.pub.fill_input_buffer = FillInputBuffer;
  d.source.pub.skip_input_data = SkipInputData;
  d.source.pub.resync_to_restart = jpeg_resync_to_restart;
  d.source.pub.term_source = TermSource;
  d.progress.progress_monitor = LimitScans;

  if (setjmp(d.error.jump) != 0) d.ThrowFailure();

  jpeg_create_decompress(&d.info);
  // Only multi-scan pictures ask for more than a few rows of blocks; with this limit set, a
  // request above it fails instead of being granted.
  d.info.mem->max_memory_to_use = static_cast<long>(kMaxJPEGDecodeMemory);
  d.info.src = &d.source.pub;
  d.info.progress = &d.progress;
  jpeg_read_header(&d.info, TRUE);

  if (limit && (d.info.image_width > limit->width || d.info.image_height > limit->height)) {
    throw XBadFormat("JPEG picture of " + std::to_string(d.info.image_width) + " x " +
                     std::to_string(d.info.image_height) + " pixels is larger than " + std::to_string(limit->width) +
                     " x " + std::to_string(limit->height));
  }
  if (bitmap || preview) {
    d.info.out_color_space = BitmapColorSpace(d.info.jpeg_color_space);
    if (d.info.out_color_space == JCS_UNKNOWN) {
      throw XBadFormat("JPEG picture of " + std::to_string(d.info.num_components) +
                       " components in an unknown colour space has no colours to show");
    }
  }

  if (preview) {
    const std::uint32_t longer = std::max(d.info.image_width, d.info.image_height);
    d.info.scale_num = 1;
    d.info.scale_denom = 1;
    while (d.info.scale_denom < 8 && longer / (d.info.scale_denom * 2) >= preview->maxSide) d.info.scale_denom *= 2;
  }
  jpeg_start_decompress(&d.info);
  if (preview) {
    d.builder = std::make_unique<CPicturePreviewBuilder>(d.info.output_width, d.info.output_height, preview->maxSide);
    d.previewLine.resize(d.info.output_width);
  }
  const JDIMENSION stride = d.info.output_width * static_cast<JDIMENSION>(d.info.output_components);
  JSAMPARRAY line = (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE, stride, 1);
  if (bitmap) {
    bitmap->width = d.info.output_width;
    bitmap->height = d.info.output_height;
    bitmap->pixels.assign(std::size_t{bitmap->width} * bitmap->height, 0);
  }
  while (d.info.output_scanline < d.info.output_height) {
    const JDIMENSION row = d.info.output_scanline;
    // Our source never suspends, so a line always comes; the test keeps a surprise from looping.
    if (jpeg_read_scanlines(&d.info, line, 1) != 1) throw XBadFormat("JPEG picture: the decoder gave no line");
    if (bitmap) StoreRow(d.info, line[0], bitmap->pixels.data() + std::size_t{row} * bitmap->width);
    if (d.builder) {
      StoreRow(d.info, line[0], d.previewLine.data());
      d.builder->Add(row, 0, d.info.output_width, d.previewLine.data());
    }
  }
  jpeg_finish_decompress(&d.info);
  if (d.builder) *preview->preview = d.builder->Finish();
}

}  // namespace

void CheckJPEGImage(CMedia& media) { Decode(media, nullptr, nullptr); }

CBitmap32 DecodeJPEGPreview(CMedia& media, std::uint32_t maxSide) {
  CBitmap32 preview;
  const CPreviewRequest request{std::max<std::uint32_t>(maxSide, 1), &preview};
  Decode(media, nullptr, nullptr, &request);
  return preview;
}

CBitmap32 DecodeJPEGBitmap(CMedia& media, std::uint32_t maxWidth, std::uint32_t maxHeight) {
  CBitmap32 bitmap;
  const CSizeLimit limit{maxWidth, maxHeight};
  Decode(media, &limit, &bitmap);
  return bitmap;
}
