#pragma once
// Pictures made in the tests: JPEG through libjpeg's compressor, TIFF through libtiff's writer
// (independent of the decoding code under test), and a hand-made TIFF whose header may claim
// anything. PNG pictures are read back through libpng's simplified reader, which our encoder
// does not use.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include "support/TestSupport.h"

namespace picturetest {

using Bytes = std::vector<std::uint8_t>;

// A smooth pattern that compresses well and is not flat.
inline std::uint8_t Pattern(std::uint32_t x, std::uint32_t y, int channel) {
  return static_cast<std::uint8_t>((x * 3 + y * 5 + channel * 70) & 0xFF);
}

struct JPEGPicture {
  std::uint32_t width = 16, height = 16;
  int components = 3;  // 1 (gray), 3 (RGB) or 4 (CMYK, which libjpeg marks as Adobe's)
  bool progressive = false;
  // When set, every pixel has this colour (RGB; gray uses its first value).
  bool solid = false;
  std::uint8_t colour[4] = {0, 0, 0, 0};
};

inline Bytes MakeJPEG(const JPEGPicture& picture) {
  jpeg_compress_struct c;
  jpeg_error_mgr error;
  c.err = jpeg_std_error(&error);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = picture.width;
  c.image_height = picture.height;
  c.input_components = picture.components;
  c.in_color_space = picture.components == 1 ? JCS_GRAYSCALE : picture.components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, picture.solid ? 100 : 90, TRUE);
  if (picture.progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(picture.width * picture.components);
  while (c.next_scanline < c.image_height) {
    for (std::uint32_t x = 0; x < picture.width; ++x) {
      for (int k = 0; k < picture.components; ++k) {
        row[x * picture.components + k] = picture.solid ? picture.colour[k] : Pattern(x, c.next_scanline, k);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

// Where the frame header (marker SOF0 or SOF2) of a JPEG begins.
inline std::size_t FrameHeaderOffset(const Bytes& jpeg) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i;
  }
  throw std::runtime_error("no frame header in the JPEG");
}

// Rewrites the size in the frame header of a JPEG.
inline Bytes WithClaimedSize(Bytes jpeg, std::uint16_t width, std::uint16_t height) {
  const std::size_t i = FrameHeaderOffset(jpeg);
  jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
  jpeg[i + 6] = static_cast<std::uint8_t>(height);
  jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
  jpeg[i + 8] = static_cast<std::uint8_t>(width);
  return jpeg;
}

struct TIFFPicture {
  std::uint32_t width = 40, height = 30;
  std::uint16_t samples = 1;  // 1 gray or palette, 3 RGB
  std::uint16_t bits = 8;
  std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  std::uint16_t compression = COMPRESSION_NONE;
  std::uint16_t planar = PLANARCONFIG_CONTIG;
  std::uint32_t rowsPerStrip = 8;
  std::uint32_t tileSize = 0;  // tiles of tileSize x tileSize when not 0
};

// Writes the picture with libtiff into `path` and returns the file's bytes.
inline Bytes MakeTIFF(const TIFFPicture& picture, const std::filesystem::path& path) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  if (!tif) throw std::runtime_error("libtiff cannot create " + path.string());
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, picture.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, picture.height);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, picture.samples);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, picture.bits);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, picture.photometric);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, picture.compression);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, picture.planar);
  if (picture.compression == COMPRESSION_JPEG) {
    TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 90);
    if (picture.photometric == PHOTOMETRIC_YCBCR) TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  }
  std::vector<std::uint16_t> map(1u << picture.bits);
  if (picture.photometric == PHOTOMETRIC_PALETTE) {
    for (std::size_t i = 0; i < map.size(); ++i) map[i] = static_cast<std::uint16_t>(i * 257);
    TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
  }
  const std::uint16_t planes = picture.planar == PLANARCONFIG_SEPARATE ? picture.samples : 1;
  const std::uint16_t perPixel = picture.planar == PLANARCONFIG_SEPARATE ? 1 : picture.samples;
  const std::size_t bytesPerSample = picture.bits / 8;
  auto fill = [&](std::vector<std::uint8_t>& out, std::uint32_t x0, std::uint32_t y, std::uint32_t count, int plane) {
    std::size_t i = 0;
    for (std::uint32_t x = x0; x < x0 + count; ++x) {
      for (std::uint16_t k = 0; k < perPixel; ++k) {
        for (std::size_t b = 0; b < bytesPerSample; ++b) out[i++] = Pattern(x, y, plane + k);
      }
    }
  };
  if (picture.tileSize) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, picture.tileSize);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, picture.tileSize);
    std::vector<std::uint8_t> tile(TIFFTileSize(tif));
    const std::size_t rowBytes = picture.tileSize * perPixel * bytesPerSample;
    for (std::uint16_t p = 0; p < planes; ++p) {
      for (std::uint32_t ty = 0; ty < picture.height; ty += picture.tileSize) {
        for (std::uint32_t tx = 0; tx < picture.width; tx += picture.tileSize) {
          for (std::uint32_t r = 0; r < picture.tileSize; ++r) {
            std::vector<std::uint8_t> line(rowBytes);
            fill(line, tx, ty + r, picture.tileSize, p);
            std::memcpy(tile.data() + r * rowBytes, line.data(), rowBytes);
          }
          if (TIFFWriteTile(tif, tile.data(), tx, ty, 0, p) < 0) throw std::runtime_error("TIFFWriteTile failed");
        }
      }
    }
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, picture.rowsPerStrip);
    std::vector<std::uint8_t> line(TIFFScanlineSize(tif));
    for (std::uint16_t p = 0; p < planes; ++p) {
      for (std::uint32_t y = 0; y < picture.height; ++y) {
        fill(line, 0, y, picture.width, p);
        if (TIFFWriteScanline(tif, line.data(), y, p) < 0) throw std::runtime_error("TIFFWriteScanline failed");
      }
    }
  }
  TIFFClose(tif);
  return test::ReadFileBytes(path);
}

// A little-endian TIFF of 8-bit gray in one strip, made byte by byte, whose header says what the
// test wants: the claimed size and strip byte count need not match the data that follows.
inline Bytes HandMadeTIFF(std::uint32_t width, std::uint32_t height, std::uint16_t compression, const Bytes& data,
                          std::uint32_t claimedByteCount) {
  Bytes b;
  auto put = [&](std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  constexpr std::uint16_t kShort = 3, kLong = 4;
  struct Entry {
    std::uint16_t tag, type;
    std::uint32_t value;
  };
  constexpr std::uint32_t kEntries = 9;
  const std::uint32_t dataOffset = 8 + 2 + kEntries * 12 + 4;
  const Entry entries[kEntries] = {
      {256, kLong, width},       {257, kLong, height},     {258, kShort, 8},       {259, kShort, compression},
      {262, kShort, 1},          {273, kLong, dataOffset}, {277, kShort, 1},       {278, kLong, height},
      {279, kLong, claimedByteCount},
  };
  b = {'I', 'I', 42, 0};
  put(8, 4);
  put(kEntries, 2);
  for (const Entry& e : entries) {
    put(e.tag, 2);
    put(e.type, 2);
    put(1, 4);
    put(e.value, 4);  // a SHORT sits in the first two of the four bytes, little-endian
  }
  put(0, 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// `rows` rows of `width` zero bytes, deflated as a TIFF strip is.
inline Bytes DeflatedZeroRows(std::uint32_t width, std::uint32_t rows) {
  const Bytes raw(std::size_t{width} * rows, 0);
  uLongf size = compressBound(raw.size());
  Bytes out(size);
  compress2(out.data(), &size, raw.data(), raw.size(), 9);
  out.resize(size);
  return out;
}

struct PNGPicture {
  std::uint32_t width = 0, height = 0;
  bool hasAlpha = false;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, as CBitmap32 holds them
};

// Decodes a PNG file's bytes; throws when libpng cannot read them.
inline PNGPicture DecodePNG(const Bytes& bytes) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    throw std::runtime_error(std::string("not a PNG picture: ") + image.message);
  }
  PNGPicture picture;
  picture.width = image.width;
  picture.height = image.height;
  picture.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_ARGB;
  Bytes argb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, argb.data(), 0, nullptr)) {
    throw std::runtime_error(std::string("PNG picture does not decode: ") + image.message);
  }
  for (std::size_t i = 0; i + 3 < argb.size(); i += 4) {
    picture.pixels.push_back(std::uint32_t{argb[i]} << 24 | std::uint32_t{argb[i + 1]} << 16 |
                             std::uint32_t{argb[i + 2]} << 8 | argb[i + 3]);
  }
  return picture;
}

}  // namespace picturetest
