#pragma once
// COutputBitStream: writes a stream of variable-length codes to a media.
//
// Contract of the stream format:
// - Bits are appended most significant first into 32-bit words; the first bit of the stream is
//   bit 31 of the first word. Codes are not aligned and may straddle two words.
// - Each completed word is stored as 4 bytes, most significant byte first.
// - The last word is padded with zero bits on the right. A finished stream is a whole number of
//   words, with no length field or end marker.
//
// Buffering: completed words collect in a 4096-byte buffer. A word is completed only when a bit
// beyond it arrives (or at Finish), and the buffer reaches the media only when the 1025th word is
// stored (a 4096-byte write) and at Finish (the partial rest).
//
// Ending: Finish() pads and stores the current word and writes the buffer. An encoder finishes
// and then closes: Close() is a second finish, which stores one more all-zero word, so every
// finished stream ends in one zero word. Close() reports media failures. A stream destroyed
// without Close() (encoding was abandoned) finishes once and swallows media failures.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/media/ByteOrder.h"
#include "framework/media/Media.h"

class COutputBitStream {
 public:
  static constexpr std::int32_t kBufferBytes = 4096;

  // `media` is not owned and must outlive the stream; bytes go to its current position.
  explicit COutputBitStream(NSFerryman::CMedia& media);
  virtual ~COutputBitStream();
  COutputBitStream(const COutputBitStream&) = delete;
  COutputBitStream& operator=(const COutputBitStream&) = delete;

  // The three runs the code writer appends.
  void AppendZeros(std::uint32_t count);                     // 0 to 31 zero bits
  void AppendOne();                                          // a single one bit
  void AppendBits(std::uint32_t value, std::uint32_t count);  // the low `count` (0 to 31) bits of value

  // Pads and stores the current word, then writes everything buffered.
  void Finish();
  // The final (second) finish: Finish() once more, which appends the closing zero word. After it
  // the stream takes no more bits and the destructor writes nothing.
  void Close();

  // --- For code writers that keep the bit state in registers.
  // Bits still free in the current word (32 down to 0) and the current word (written bits in its
  // low-order end). A writer reads both, works on its own copies, stores completed words with
  // StoreWord() and gives the state back with SetBitState(). A word may be stored only once a bit
  // beyond it has been produced: a full word with nothing after it stays in the state.
  std::uint32_t GetFreeBits() const { return freeBits_; }
  std::uint32_t GetCurrentWord() const { return currentWord_; }
  void SetBitState(std::uint32_t freeBits, std::uint32_t currentWord) {
    freeBits_ = freeBits;
    currentWord_ = currentWord;
  }
  void StoreWord(std::uint32_t word) {
    if (fill_ == kBufferBytes) WriteBuffer();
    NSFerryman::StoreBE32(buffer_.get() + fill_, word);
    fill_ += 4;
  }
  // StoreWord() for each of `count` words, in order.
  void StoreWords(const std::uint32_t* words, std::size_t count);

 private:
  void FlushWord();
  void WriteBuffer();

  NSFerryman::CMedia& media_;
  std::uint32_t freeBits_ = 32;
  std::uint32_t currentWord_ = 0;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::int32_t fill_ = 0;
  bool closed_ = false;
};
