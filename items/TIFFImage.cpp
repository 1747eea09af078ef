#include "items/TIFFImage.h"
#include "items/PicturePreview.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <tiffio.h>

using namespace NSFerryman;

namespace {

// The client state of one open handle. libtiff is C: nothing thrown may pass through its frames,
// so the procedures below catch everything, note it here and report failure to libtiff; the
// caller rethrows once libtiff has returned.
struct CTIFFSource {
  CMedia* media = nullptr;
  MediaSize size = 0;
  MediaSize position = 0;
  std::exception_ptr mediaFailure;
  std::string firstError;
};

CTIFFSource& SourceOf(thandle_t handle) { return *static_cast<CTIFFSource*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t count) {
  CTIFFSource& source = SourceOf(handle);
  if (count <= 0 || source.position >= source.size) return 0;
  const auto n = static_cast<std::size_t>(std::min<MediaSize>(static_cast<MediaSize>(count), source.size - source.position));
  try {
    source.media->ReadAt(source.position, n, buffer);
  } catch (...) {
    source.mediaFailure = std::current_exception();
    return -1;
  }
  source.position += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  CTIFFSource& source = SourceOf(handle);
  if (whence == SEEK_SET) {
    source.position = offset;
    return offset;
  }
  // Relative seeks carry a signed offset in the unsigned type.
  const MediaSize base = whence == SEEK_CUR ? source.position : source.size;
  const auto delta = static_cast<std::int64_t>(offset);
  if (delta < 0 && static_cast<MediaSize>(-(delta + 1)) >= base) return static_cast<toff_t>(-1);
  source.position = base + static_cast<MediaSize>(delta);
  return source.position;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return SourceOf(handle).size; }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

// Keeps the first error, the one nearest the cause; returning 1 keeps libtiff from passing the
// message on to its global handlers, which print it.
int OnError(TIFF*, void* userData, const char*, const char* format, va_list arguments) {
  auto& source = *static_cast<CTIFFSource*>(userData);
  if (!source.firstError.empty()) return 1;
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  try {
    source.firstError = text;
  } catch (...) {
  }
  return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

[[noreturn]] void ThrowFailure(const CTIFFSource& source, const char* fallback) {
  if (source.mediaFailure) std::rethrow_exception(source.mediaFailure);
  throw XBadFormat("TIFF picture does not decode: " + (source.firstError.empty() ? std::string(fallback) : source.firstError));
}

struct CCloseTIFF {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
struct CFreeOptions {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

// For pictures whose strips are too large to decode whole: the samples of one scan line at a time,
// plane after plane. The colour model has been found convertible already.
void CheckScanLines(TIFF* tif, const CTIFFSource& source, std::uint32_t height) {
  std::uint16_t compression = COMPRESSION_NONE, photometric = PHOTOMETRIC_MINISBLACK;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  // Subsampled YCbCr comes out of the JPEG codec as whole RGB lines only when asked for.
  if (compression == COMPRESSION_JPEG && photometric == PHOTOMETRIC_YCBCR) {
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  }
  std::uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  const std::uint64_t lineBytes = TIFFScanlineSize64(tif);
  if (lineBytes == 0) ThrowFailure(source, "no scan line size");
  if (lineBytes > kMaxTIFFBlockBytes) {
    throw XBadFormat("TIFF picture has scan lines of " + std::to_string(lineBytes) + " bytes, more than " +
                     std::to_string(kMaxTIFFBlockBytes));
  }
  std::vector<std::uint8_t> line(lineBytes);
  const std::uint16_t planes = planar == PLANARCONFIG_SEPARATE ? samples : 1;
  for (std::uint16_t plane = 0; plane < planes; ++plane) {
    for (std::uint32_t row = 0; row < height; ++row) {
      if (TIFFReadScanline(tif, line.data(), row, plane) < 0) ThrowFailure(source, "a scan line does not decode");
    }
  }
}

}  // namespace

namespace {

// 0xAABBGGRR, as libtiff's RGBA reader gives pixels, to 0xAARRGGBB.
void ToARGB(const std::uint32_t* abgr, std::uint32_t count, std::vector<std::uint32_t>& out) {
  out.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t p = abgr[i];
    out[i] = (p & 0xFF00FF00u) | (p & 0xFF) << 16 | (p >> 16 & 0xFF);
  }
}

// Decodes the first picture; into `preview`, shrunk to maxSide, when one is given.
void DecodeTIFF(CMedia& media, std::uint32_t maxSide, CBitmap32* preview) {
  CTIFFSource source;
  source.media = &media;
  source.size = media.GetSize();

  std::unique_ptr<TIFFOpenOptions, CFreeOptions> options(TIFFOpenOptionsAlloc());
  if (!options) throw std::bad_alloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &source);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, &source);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(kMaxTIFFAllocation));
  // "m": read through our procedures, never through a mapping.
  std::unique_ptr<TIFF, CCloseTIFF> tif(TIFFClientOpenExt("TIFF picture", "rm", &source, ReadProc, WriteProc, SeekProc,
                                                          CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
  if (!tif) ThrowFailure(source, "not a TIFF file");

  char reason[1024] = "";
  if (!TIFFRGBAImageOK(tif.get(), reason)) {
    throw XBadFormat(std::string("TIFF picture cannot be turned into pixels: ") + reason);
  }
  std::uint32_t width = 0, height = 0;
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
  if (width == 0 || height == 0) throw XBadFormat("TIFF picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");

  std::unique_ptr<CPicturePreviewBuilder> builder;
  if (preview) builder = std::make_unique<CPicturePreviewBuilder>(width, height, maxSide);
  std::vector<std::uint32_t> line;

  // 32-bit pixels of one strip or tile at a time, as libtiff's RGBA reader gives them: each
  // block's rows bottom up.
  constexpr std::uint64_t kMaxPixels = kMaxTIFFBlockBytes / sizeof(std::uint32_t);
  if (TIFFIsTiled(tif.get())) {
    std::uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(tif.get(), TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tif.get(), TIFFTAG_TILELENGTH, &tileHeight);
    if (tileWidth == 0 || tileHeight == 0 || std::uint64_t{tileWidth} * tileHeight > kMaxPixels) {
      throw XBadFormat("TIFF picture has tiles of " + std::to_string(tileWidth) + " x " + std::to_string(tileHeight) +
                       " pixels; at most " + std::to_string(kMaxPixels) + " pixels are decoded at a time");
    }
    std::vector<std::uint32_t> tile(std::size_t{tileWidth} * tileHeight);
    for (std::uint32_t y = 0; y < height; y += tileHeight) {
      for (std::uint32_t x = 0; x < width; x += tileWidth) {
        if (!TIFFReadRGBATileExt(tif.get(), x, y, tile.data(), 1)) ThrowFailure(source, "a tile does not decode");
        if (builder) {
          const std::uint32_t rows = std::min(tileHeight, height - y);
          for (std::uint32_t r = 0; r < rows; ++r) {
            ToARGB(tile.data() + std::size_t{tileHeight - 1 - r} * tileWidth, std::min(tileWidth, width - x), line);
            builder->Add(y + r, x, static_cast<std::uint32_t>(line.size()), line.data());
          }
        }
        if (std::uint64_t{x} + tileWidth >= width) break;
      }
      if (std::uint64_t{y} + tileHeight >= height) break;
    }
    if (builder) *preview = builder->Finish();
    return;
  }

  std::uint32_t rowsPerStrip = 0;
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  const std::uint32_t stripRows = std::clamp<std::uint32_t>(rowsPerStrip, 1, height);
  if (std::uint64_t{width} * stripRows > kMaxPixels) {
    if (builder) throw XBadFormat("TIFF picture of strips too large to show; it is checked a scan line at a time");
    CheckScanLines(tif.get(), source, height);
    return;
  }
  std::vector<std::uint32_t> strip(std::size_t{width} * stripRows);
  for (std::uint32_t row = 0; row < height; row += stripRows) {
    if (!TIFFReadRGBAStripExt(tif.get(), row, strip.data(), 1)) ThrowFailure(source, "a strip does not decode");
    if (builder) {
      const std::uint32_t rows = std::min(stripRows, height - row);
      for (std::uint32_t r = 0; r < rows; ++r) {
        ToARGB(strip.data() + std::size_t{rows - 1 - r} * width, width, line);
        builder->Add(row + r, 0, width, line.data());
      }
    }
    if (std::uint64_t{row} + stripRows >= height) break;
  }
  if (builder) *preview = builder->Finish();
}

}  // namespace

void CheckTIFFImage(CMedia& media) { DecodeTIFF(media, 0, nullptr); }

CBitmap32 DecodeTIFFPreview(CMedia& media, std::uint32_t maxSide) {
  CBitmap32 preview;
  DecodeTIFF(media, maxSide, &preview);
  return preview;
}
