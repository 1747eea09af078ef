#pragma once
// An in-memory navigation item, so that tests decide the order in which a folder yields its
// children (the file system decides it for real folders).

#include <string>
#include <utility>
#include <vector>

#include "filetypes/FileType.h"
#include "framework/media/MemoryMedia.h"
#include "navigation/NavigationInterface.h"

class CFakeNavigationItem : public MINavigationInterface {
 public:
  // A file.
  explicit CFakeNavigationItem(std::string name) : name_(std::move(name)) {}
  // A folder with its children in the order it yields them.
  CFakeNavigationItem(std::string name, std::vector<CNavigationHolder> children)
      : name_(std::move(name)), folder_(true), children_(std::move(children)) {}

  static CNavigationHolder File(std::string name) {
    return MakeNavigationItem<CFakeNavigationItem>(std::move(name));
  }
  static CNavigationHolder Folder(std::string name, std::vector<CNavigationHolder> children = {}) {
    return MakeNavigationItem<CFakeNavigationItem>(std::move(name), std::move(children));
  }

  std::string GetName() const override { return name_; }
  bool IsContainer() const override { return folder_; }
  bool IsFileSystemObject() const override { return true; }
  const CFileType* GetFileType() const override { return folder_ ? nullptr : &ClassifyFileName(name_); }
  CNavigationHolder GetFirstChild() const override {
    return children_.empty() ? CNavigationHolder() : children_.front();
  }
  CNavigationHolder GetNextChild(const MINavigationInterface& child) const override {
    for (std::size_t i = 0; i + 1 < children_.size(); ++i) {
      if (children_[i].Get() == &child) return children_[i + 1];
    }
    return {};
  }

 private:
  std::string name_;
  bool folder_ = false;
  std::vector<CNavigationHolder> children_;
};
