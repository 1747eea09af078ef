#include "fuzz/FuzzTree.h"

#include <string>
#include <utility>
#include <vector>

#include "framework/resources/ResourceId.h"
#include "references/Database.h"

namespace fuzz {

namespace {

class CTreeItem : public MINavigationInterface {
 public:
  explicit CTreeItem(std::string name, bool folder) : name_(std::move(name)), folder_(folder) {}

  CTreeItem& Add(std::string name, bool folder) {
    CNavigationHolder child = MakeNavigationItem<CTreeItem>(std::move(name), folder);
    auto& item = static_cast<CTreeItem&>(*child);
    item.parent_ = this;
    item.index_ = children_.size();
    children_.push_back(std::move(child));
    return item;
  }

  CNavigationHolder GetParent() const override {
    return parent_ ? CNavigationHolder::Share(parent_) : CNavigationHolder();
  }
  CNavigationHolder GetFirstChild() const override { return At(0); }
  CNavigationHolder GetLastChild() const override { return children_.empty() ? CNavigationHolder() : children_.back(); }
  CNavigationHolder GetNextChild(const MINavigationInterface& child) const override {
    const auto* item = dynamic_cast<const CTreeItem*>(&child);
    return item && item->parent_ == this ? At(item->index_ + 1) : CNavigationHolder();
  }
  CNavigationHolder GetPreviousChild(const MINavigationInterface& child) const override {
    const auto* item = dynamic_cast<const CTreeItem*>(&child);
    return item && item->parent_ == this && item->index_ > 0 ? At(item->index_ - 1) : CNavigationHolder();
  }
  bool IsContainer() const override { return folder_; }
  bool IsFileSystemObject() const override { return true; }
  std::string GetName() const override { return name_; }

 private:
  CNavigationHolder At(std::size_t index) const { return index < children_.size() ? children_[index] : CNavigationHolder(); }

  std::string name_;
  bool folder_;
  CTreeItem* parent_ = nullptr;
  std::size_t index_ = 0;
  std::vector<CNavigationHolder> children_;
};

struct CFuzzTree {
  CFuzzTree() : top(MakeNavigationItem<CTreeItem>("Top", true)) {
    auto& root = static_cast<CTreeItem&>(*top);
    CTreeItem& content = root.Add("Content", true);
    CTreeItem& samples = content.Add("Samples", true);
    for (const char* name : {"kick.wav", "snare.wav", "Kick.wav", "a.wav"}) samples.Add(name, false);
    CTreeItem& song = content.Add("Songs", true).Add("demo.tns", false);
    content.Add("Samples", true).Add("extra.wav", false);
    root.Add("Outside", true).Add("far.wav", false);

    database.SetVolumeSource([] { return std::vector<CShellVolume>{}; });
    database.SetTopOfFileSystem(top);
    context.rootFolder = CNavigationHolder::Share(&content);
    context.hamperName = "Seed Kit";
    context.hamperUrl = "http://example.com/seed\x01";
    context.referencingItem = CNavigationHolder::Share(&song);
    context.referencingName = "demo.tns";
    context.database = &database;
    context.unresolved = &unresolved;
  }

  CNavigationHolder top;
  CDatabase database{NSFerryman::AlertId(NSFerryman::kApplicationResources, 92)};
  std::vector<CUnresolvedReference> unresolved;
  CReferenceContext context;
};

}  // namespace

const CReferenceContext& FuzzReferenceContext() {
  static CFuzzTree* tree = new CFuzzTree;  // lives as long as the process: items hold the tree
  tree->unresolved.clear();
  return tree->context;
}

}  // namespace fuzz
