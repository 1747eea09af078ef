#include "codec/OutputBitStream.h"

#include <algorithm>

using namespace NSFerryman;

COutputBitStream::COutputBitStream(CMedia& media)
    : media_(media), buffer_(std::make_unique<std::uint8_t[]>(kBufferBytes)) {}

COutputBitStream::~COutputBitStream() {
  if (closed_) return;
  // Reached without Close(): encoding was abandoned. What is buffered still goes out, but a
  // failing media must not turn the unwinding into a termination.
  try {
    Finish();
  } catch (...) {
  }
}

void COutputBitStream::WriteBuffer() {
  media_.Write(static_cast<std::size_t>(fill_), buffer_.get());
  fill_ = 0;
}

void COutputBitStream::StoreWords(const std::uint32_t* words, std::size_t count) {
  while (count > 0) {
    if (fill_ == kBufferBytes) WriteBuffer();
    const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(kBufferBytes - fill_) / 4);
    std::uint8_t* p = buffer_.get() + fill_;
    for (std::size_t i = 0; i < n; ++i) StoreBE32(p + 4 * i, words[i]);
    fill_ += static_cast<std::int32_t>(4 * n);
    words += n;
    count -= n;
  }
}

void COutputBitStream::FlushWord() {
  StoreWord(currentWord_);
  freeBits_ = 32;
  currentWord_ = 0;
}

void COutputBitStream::AppendZeros(std::uint32_t count) {
  if (count == 0) return;
  if (count <= freeBits_) {
    // A shift by 32 is undefined; a full 32-bit run of zeros only happens on an empty word.
    currentWord_ = count == 32 ? 0 : currentWord_ << count;
    freeBits_ -= count;
    return;
  }
  const std::uint32_t rest = count - freeBits_;
  currentWord_ = freeBits_ == 0 ? currentWord_ : currentWord_ << freeBits_;
  FlushWord();
  currentWord_ = 0;
  freeBits_ = 32 - rest;
}

void COutputBitStream::AppendOne() {
  if (freeBits_ == 0) FlushWord();
  currentWord_ = (currentWord_ << 1) | 1u;
  --freeBits_;
}

void COutputBitStream::AppendBits(std::uint32_t value, std::uint32_t count) {
  if (count == 0) return;
  value &= count == 32 ? ~0u : (1u << count) - 1u;
  if (count <= freeBits_) {
    currentWord_ = (count == 32 ? 0 : currentWord_ << count) | value;
    freeBits_ -= count;
    return;
  }
  // The leading bits complete the current word, the trailing ones start the next.
  const std::uint32_t rest = count - freeBits_;
  if (freeBits_ > 0) currentWord_ = (currentWord_ << freeBits_) | (value >> rest);
  FlushWord();
  currentWord_ = value & ((1u << rest) - 1u);
  freeBits_ = 32 - rest;
}

void COutputBitStream::Finish() {
  // Taken modulo 32: finishing an empty word stores an all-zero word.
  const std::uint32_t shift = freeBits_ % 32;
  currentWord_ = shift == 0 ? currentWord_ : currentWord_ << shift;
  FlushWord();
  if (fill_ > 0) WriteBuffer();
}

void COutputBitStream::Close() {
  Finish();
  closed_ = true;
}
