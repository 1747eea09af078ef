#pragma once
// Text ids: one 32-bit number names every user-visible string, alert and menu.
//   id = kind digit * 100000000 + resource number * 10000 + item number
// with resource and item numbers from 0 to 9999. String 36 of "SSTR" 128 is 401280036.

#include <cstdint>

#include "framework/media/Exceptions.h"

namespace NSFerryman {

using ResourceId = std::uint32_t;

// The kind digit only tells the caller which look-up (string, alert or menu) an id is meant for.
enum class EResourceKind : std::uint32_t { kString = 4, kAlert = 5, kMenu = 6 };

// The application's own texts and the framework's.
inline constexpr std::uint32_t kApplicationResources = 128;
inline constexpr std::uint32_t kFrameworkResources = 1000;
inline constexpr std::uint32_t kMaxResourceNumber = 9999;
inline constexpr std::uint32_t kMaxItemNumber = 9999;

struct CResourceIdParts {
  EResourceKind kind;
  std::uint32_t resource;
  std::uint32_t item;
  constexpr bool operator==(const CResourceIdParts&) const = default;
};

// XBase when a number exceeds 9999 (a compile error when evaluated as a constant).
constexpr ResourceId ComposeResourceId(EResourceKind kind, std::uint32_t resource,
                                       std::uint32_t item) {
  if (resource > kMaxResourceNumber || item > kMaxItemNumber) {
    throw XBase("resource or item number above 9999 in a text id");
  }
  return static_cast<std::uint32_t>(kind) * 100000000u + resource * 10000u + item;
}

constexpr CResourceIdParts DecodeResourceId(ResourceId id) {
  return {static_cast<EResourceKind>(id / 100000000u), (id % 100000000u) / 10000u, id % 10000u};
}

constexpr ResourceId StringId(std::uint32_t resource, std::uint32_t item) {
  return ComposeResourceId(EResourceKind::kString, resource, item);
}
constexpr ResourceId AlertId(std::uint32_t resource, std::uint32_t item) {
  return ComposeResourceId(EResourceKind::kAlert, resource, item);
}
constexpr ResourceId MenuId(std::uint32_t resource, std::uint32_t item) {
  return ComposeResourceId(EResourceKind::kMenu, resource, item);
}

}  // namespace NSFerryman
