#include "items/PNGImage.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include <png.h>

#include "framework/media/Exceptions.h"

namespace {

// libpng reports a fatal error through a function that must not return, and it is C: no C++
// exception may cross its frames. The error function keeps the message and jumps back to
// EncodePNG through libpng's own jump buffer; the frames jumped over hold no object with a
// destructor. A failure in our write function is kept the same way.
struct CEncoding {
  std::vector<std::uint8_t> bytes;
  char message[200] = {};
  std::exception_ptr failure;
};

void OnError(png_structp png, png_const_charp message) {
  auto* encoding = static_cast<CEncoding*>(png_get_error_ptr(png));
  std::strncpy(encoding->message, message, sizeof encoding->message - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void Append(png_structp png, png_bytep data, png_size_t length) {
  auto* encoding = static_cast<CEncoding*>(png_get_io_ptr(png));
  bool failed = false;
  try {
    encoding->bytes.insert(encoding->bytes.end(), data, data + length);
  } catch (...) {
    encoding->failure = std::current_exception();
    failed = true;
  }
  if (failed) png_error(png, "out of memory");
}

void Flush(png_structp) {}

// Owns libpng's structures, which stay valid across the jump.
struct CWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~CWriter() { png_destroy_write_struct(&png, &info); }
};

}  // namespace

std::vector<std::uint8_t> EncodePNG(const CBitmap32& bitmap) {
  if (bitmap.width == 0 || bitmap.height == 0) throw NSFerryman::XBadFormat("a PNG picture needs pixels");
  const bool opaque = std::all_of(bitmap.pixels.begin(), bitmap.pixels.end(),
                                  [](std::uint32_t argb) { return (argb >> 24) == 0xFF; });
  const std::size_t channels = opaque ? 3 : 4;
  // Every row made before libpng starts: nothing is allocated between setjmp and the end.
  std::vector<std::uint8_t> pixels(std::size_t{bitmap.width} * bitmap.height * channels);
  for (std::size_t i = 0, o = 0; i < bitmap.pixels.size(); ++i) {
    const std::uint32_t argb = bitmap.pixels[i];
    pixels[o++] = static_cast<std::uint8_t>(argb >> 16);
    pixels[o++] = static_cast<std::uint8_t>(argb >> 8);
    pixels[o++] = static_cast<std::uint8_t>(argb);
    if (!opaque) pixels[o++] = static_cast<std::uint8_t>(argb >> 24);
  }
  std::vector<png_bytep> rows(bitmap.height);
  for (std::uint32_t y = 0; y < bitmap.height; ++y) rows[y] = pixels.data() + std::size_t{y} * bitmap.width * channels;

  CEncoding encoding;
  encoding.bytes.reserve(pixels.size() / 2 + 1024);
  CWriter writer;
  writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &encoding, OnError, OnWarning);
  if (!writer.png) throw std::bad_alloc();
  writer.info = png_create_info_struct(writer.png);
  if (!writer.info) throw std::bad_alloc();

  if (setjmp(png_jmpbuf(writer.png)) != 0) {
    if (encoding.failure) std::rethrow_exception(encoding.failure);
    throw NSFerryman::XBadFormat(std::string("PNG picture could not be written: ") + encoding.message);
  }
  png_set_write_fn(writer.png, &encoding, Append, Flush);
  png_set_IHDR(writer.png, writer.info, bitmap.width, bitmap.height, 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(writer.png, writer.info, rows.data());
  png_write_png(writer.png, writer.info, PNG_TRANSFORM_IDENTITY, nullptr);
  return std::move(encoding.bytes);
}
