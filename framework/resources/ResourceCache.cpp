#include "framework/resources/ResourceCache.h"

#include <string_view>

#include "framework/resources/Substitute.h"

namespace NSFerryman {

CResourceCache::CResourceCache(const EmbeddedResource* table) : table_(table) {}

CResourceCache& CResourceCache::Program() {
  static CResourceCache cache(EmbeddedResources());
  return cache;
}

const CStringResource* CResourceCache::GetResource(CResourceType type, std::uint32_t number) {
  // One lock over find-or-parse keeps two threads from parsing the same script twice; parsing
  // is short and happens once per resource.
  std::lock_guard lock(mutex_);
  for (const CStringResource& resource : loaded_) {
    if (resource.GetType() == type && resource.GetNumber() == number) return &resource;
  }
  const std::string name = type.ToString() + "-" + std::to_string(number);
  for (const EmbeddedResource* e = table_; e != nullptr && e->name != nullptr; ++e) {
    if (name == e->name) {
      const std::string_view script(reinterpret_cast<const char*>(e->bytes), e->size);
      return &loaded_.emplace_back(type, number, script);
    }
  }
  return nullptr;
}

std::string CResourceCache::GetText(CResourceType type, ResourceId id) {
  const CResourceIdParts parts = DecodeResourceId(id);
  const CStringResource* resource = GetResource(type, parts.resource);
  return resource == nullptr ? std::string() : resource->GetText(parts.item);
}

std::size_t CResourceCache::LoadedCount() {
  std::lock_guard lock(mutex_);
  return loaded_.size();
}

std::string GetString(ResourceId id) {
  return CResourceCache::Program().GetText(kStringResourceType, id);
}

std::string GetString(ResourceId id, const TextArguments& arguments) {
  return Substitute(GetString(id), arguments);
}

std::string GetAlertScript(ResourceId id) {
  return CResourceCache::Program().GetText(kAlertResourceType, id);
}

std::string GetMenuScript(ResourceId id) {
  return CResourceCache::Program().GetText(kMenuResourceType, id);
}

}  // namespace NSFerryman
