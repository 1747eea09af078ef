#pragma once
// What every fuzz target shares: the input as an in-memory media, and the rule that decides what
// counts as a finding. A parser may answer bad bytes only with one of our own exceptions (XBase
// and its kinds); anything else that leaves it - another exception, a crash, a sanitizer report,
// a leak, an allocation beyond the fuzzer's limit, a hang - is a finding.
//
//   extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
//     auto media = fuzz::MediaOf(data, size);
//     fuzz::Tolerate([&] { ReadSomething(*media); });
//     return 0;
//   }

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "framework/media/Exceptions.h"
#include "framework/media/MemoryMedia.h"

namespace fuzz {

// A media holding a copy of the input, positioned at 0.
inline std::unique_ptr<NSFerryman::CMemoryMedia> MediaOf(const std::uint8_t* data, std::size_t size) {
  auto media = std::make_unique<NSFerryman::CMemoryMedia>(size);
  if (size > 0) media->Write(size, data);
  media->SetPosition(0);
  return media;
}

// Runs `step`; our exceptions are an answer, not a finding. Returns true when the step finished.
template <class Step>
bool Tolerate(Step&& step) {
  try {
    step();
    return true;
  } catch (const NSFerryman::XBase&) {
    return false;
  }
}

// A broken promise of the code under test (two paths that disagree, a round trip that changes a
// value): reported and the process aborted, so the fuzzer keeps the input.
[[noreturn]] inline void Fail(std::string_view what) {
  std::fprintf(stderr, "fuzz finding: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

inline void Expect(bool condition, std::string_view what) {
  if (!condition) Fail(what);
}

// Runs `step`, which must finish: one of our exceptions is a finding too, reported with its detail.
template <class Step>
void ExpectFinishes(Step&& step, std::string_view what) {
  try {
    step();
  } catch (const NSFerryman::XBase& e) {
    Fail(std::string(what) + ": " + e.what());
  }
}

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
