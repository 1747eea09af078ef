#pragma once
// MINavigationInterface: one node of the browse tree over files, folders, volumes, installed
// Hampers and the inside of Hampers.
//
// Items are shared by counted references: an item starts with a count of one, AddReference counts
// up, Release counts down and the item destroys itself when the count reaches zero. Counts are
// atomic, so holders of one item may live on different threads. Every operation that returns an
// item returns it as a CNavigationHolder that owns the reference added for the caller.
//
// Walking:  for (auto c = item->GetFirstChild(); c; c = item->GetNextChild(*c)) ...
// Climbing: GetParent until an empty holder comes back; the last item reached is the top.
//
// The defaults below describe an item with no children, no bytes and no type; kinds override
// what applies to them.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/media/Media.h"
#include "navigation/NavigationHolder.h"

class CFileType;

// A file-system object as the system knows it: the same pair means the same object, whatever
// path or link led to it.
struct CFileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const CFileIdentity&) const = default;
};

class MINavigationInterface {
 public:
  // Image number of an item that has no image of its own.
  static constexpr int kDefaultImage = 0;

  MINavigationInterface(const MINavigationInterface&) = delete;
  MINavigationInterface& operator=(const MINavigationInterface&) = delete;

  // The parent item, or none at the top of the tree.
  virtual CNavigationHolder GetParent() const { return {}; }
  // The first child in order, or none.
  virtual CNavigationHolder GetFirstChild() const { return {}; }
  // The last child, or none. The default walks from the first child with GetNextChild.
  virtual CNavigationHolder GetLastChild() const;
  // True when `other` denotes the same object. The default compares identity.
  virtual bool IsSame(const MINavigationInterface& other) const { return this == &other; }
  // The child that follows `child`, or none after the last (or when `child` is not a child).
  virtual CNavigationHolder GetNextChild(const MINavigationInterface& /*child*/) const { return {}; }
  // The child that precedes `child`, or none before the first.
  virtual CNavigationHolder GetPreviousChild(const MINavigationInterface& /*child*/) const {
    return {};
  }
  // True for folders, volumes, Hampers, folders inside a Hamper and the root.
  virtual bool IsContainer() const { return false; }
  // True for objects of the file system (files, folders, volumes), false for anything else.
  virtual bool IsFileSystemObject() const { return false; }
  // The display name.
  virtual std::string GetName() const = 0;
  // Image number for browse views.
  virtual int GetImage() const { return kDefaultImage; }
  // Whether the item can be used now.
  virtual bool IsAvailable() const { return true; }
  // The bytes of a file item as a new media owned by the caller; null for items without bytes.
  virtual std::unique_ptr<NSFerryman::CMedia> OpenMedia() const { return nullptr; }
  // The byte size of a file item; 0 otherwise.
  virtual std::uint64_t GetSize() const { return 0; }
  // The registered file type of a file item (one of the registry's instances), or null.
  virtual const CFileType* GetFileType() const { return nullptr; }
  // The file-system object the item stands for, links followed; none for items that are no such
  // object, or whose object is gone.
  virtual std::optional<CFileIdentity> GetFileIdentity() const { return std::nullopt; }

  // The children whose portable name (navigation/PortableName.h) equals that of `name`, in child
  // order; none (not an empty list) from an item that keeps no index of its children's names,
  // whose children are then walked. Items with many children keep one, so that looking up
  // every item of a large folder costs no more than walking it once.
  virtual std::optional<std::vector<CNavigationHolder>> ChildrenWithPortableName(std::string_view name) const {
    (void)name;
    return std::nullopt;
  }

  virtual void AddReference() const;
  virtual void Release() const;

  // The current count; for tests and diagnostics only.
  std::uint32_t GetReferenceCount() const { return references_.load(std::memory_order_relaxed); }

 protected:
  MINavigationInterface() = default;
  // Items end through Release; a kind that owns its nodes outright may make its own destructor
  // public.
  virtual ~MINavigationInterface() = default;

 private:
  mutable std::atomic<std::uint32_t> references_{1};
};
