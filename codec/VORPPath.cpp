#include "codec/VORPPath.h"

EVORPPath VORPBestPath() {
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2")) return EVORPPath::kAVX2;
#endif
  return EVORPPath::kPortable;
}

EVORPPath VORPResolvePath(EVORPPath path) {
  if (path == EVORPPath::kAuto) return VORPBestPath();
  if (path == EVORPPath::kAVX2) return VORPBestPath();
  return path;
}

const char* VORPPathName(EVORPPath path) {
  switch (path) {
    case EVORPPath::kReference:
      return "reference";
    case EVORPPath::kPortable:
      return "portable";
    case EVORPPath::kAVX2:
      return "avx2";
    default:
      return "auto";
  }
}
