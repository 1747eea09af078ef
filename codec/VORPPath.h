#pragma once
// Which implementation of the VORP code an encoder or decoder runs. All of them produce
// identical bytes and samples; they differ in speed only.

enum class EVORPPath {
  kAuto,       // the fastest path this processor runs
  kReference,  // value by value, bit by bit, as the format is described
  kPortable,   // the fast path without processor-specific instructions
  kAVX2,       // the fast path compiled for AVX2/BMI2 (kPortable where the processor lacks them)
};

// kAVX2 where the processor has AVX2 and BMI2, else kPortable.
EVORPPath VORPBestPath();
// kAuto and unsupported kAVX2 resolved to what will run.
EVORPPath VORPResolvePath(EVORPPath path);
// "reference", "portable", "avx2" or "auto", for reports and test names.
const char* VORPPathName(EVORPPath path);
