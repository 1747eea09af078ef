#pragma once
// Look-up of texts by id. Each resource is parsed the first time one of its items is asked for
// and stays parsed for the life of the cache; the program's cache lives until exit. Look-ups may
// come from several threads.
//
//   std::string title = GetString(StringId(kApplicationResources, 18));        // "Hamper Packer"
//   std::string line = GetString(StringId(kApplicationResources, 4), {name});  // "Creating ..."

#include <list>
#include <mutex>
#include <string>
#include <vector>

#include "framework/resources/EmbeddedResources.h"
#include "framework/resources/FourCharCode.h"
#include "framework/resources/ResourceId.h"
#include "framework/resources/StringResource.h"

namespace NSFerryman {

inline constexpr CResourceType kStringResourceType("SSTR");
inline constexpr CResourceType kAlertResourceType("SALR");
inline constexpr CResourceType kMenuResourceType("SMNU");

class CResourceCache {
 public:
  // Over a table of scripts named TYPE-NUMBER ("SSTR-128"), ended by an entry whose name is
  // nullptr. The table must outlive the cache.
  explicit CResourceCache(const EmbeddedResource* table);
  CResourceCache(const CResourceCache&) = delete;
  CResourceCache& operator=(const CResourceCache&) = delete;

  // The cache over the scripts compiled into the program.
  static CResourceCache& Program();

  // The entry text for the resource and item numbers of `id` in a resource of `type`; the
  // empty text when the resource or the entry does not exist. XBadFormat when the script is
  // malformed (it is then parsed again on the next look-up).
  std::string GetText(CResourceType type, ResourceId id);

  // The parsed resource, or nullptr when the table has no script for it. The object stays
  // valid, and unchanged, for the life of the cache.
  const CStringResource* GetResource(CResourceType type, std::uint32_t number);

  // How many resources have been parsed so far.
  std::size_t LoadedCount();

 private:
  const EmbeddedResource* table_;
  std::mutex mutex_;
  std::list<CStringResource> loaded_;
};

using TextArguments = std::vector<std::string>;

// Look-ups in the program's resources. The kind digit of the id is not checked: the function
// chosen says which resource type is meant.
std::string GetString(ResourceId id);
// The string with placeholders "^0".."^9" filled (see Substitute.h).
std::string GetString(ResourceId id, const TextArguments& arguments);
std::string GetAlertScript(ResourceId id);
std::string GetMenuScript(ResourceId id);

}  // namespace NSFerryman
