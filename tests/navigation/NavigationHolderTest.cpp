#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "navigation/NavigationHolder.h"
#include "navigation/NavigationInterface.h"

namespace {

// An item that records its destruction and has a fixed list of children.
class CFakeItem : public MINavigationInterface {
 public:
  CFakeItem(std::string name, int* destroyed, std::vector<CNavigationHolder> children = {})
      : name_(std::move(name)), destroyed_(destroyed), children_(std::move(children)) {}
  ~CFakeItem() override {
    if (destroyed_) ++*destroyed_;
  }
  std::string GetName() const override { return name_; }
  bool IsContainer() const override { return !children_.empty(); }
  CNavigationHolder GetFirstChild() const override {
    return children_.empty() ? CNavigationHolder() : children_.front();
  }
  CNavigationHolder GetNextChild(const MINavigationInterface& child) const override {
    for (std::size_t i = 0; i + 1 < children_.size(); ++i) {
      if (children_[i].Get() == &child) return children_[i + 1];
    }
    return {};
  }
  // Items with the same name denote the same object.
  bool IsSame(const MINavigationInterface& other) const override { return other.GetName() == name_; }

 private:
  std::string name_;
  int* destroyed_;
  std::vector<CNavigationHolder> children_;
};

TEST(NavigationHolderTest, CountsReferencesAndDestroysWithTheLast) {
  int destroyed = 0;
  {
    CNavigationHolder a = MakeNavigationItem<CFakeItem>("a", &destroyed);
    MINavigationInterface* item = a.Get();
    EXPECT_EQ(item->GetReferenceCount(), 1u);
    CNavigationHolder b = a;
    EXPECT_EQ(item->GetReferenceCount(), 2u);
    CNavigationHolder c = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(item->GetReferenceCount(), 2u);
    c = c;  // self-assignment keeps the item alive
    EXPECT_EQ(item->GetReferenceCount(), 2u);
    c = a;
    EXPECT_EQ(item->GetReferenceCount(), 2u);
    a.Reset();
    EXPECT_EQ(destroyed, 0);
    c = CNavigationHolder::Share(item);  // assigning the sole holder's own item again
    EXPECT_EQ(item->GetReferenceCount(), 1u);
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);

  MINavigationInterface* raw = MakeNavigationItem<CFakeItem>("d", &destroyed).Detach();
  EXPECT_EQ(raw->GetReferenceCount(), 1u);
  raw->Release();
  EXPECT_EQ(destroyed, 2);
}

TEST(NavigationHolderTest, EqualityUsesIdentityThenIsSame) {
  CNavigationHolder empty1, empty2;
  CNavigationHolder x = MakeNavigationItem<CFakeItem>("x", nullptr);
  CNavigationHolder x2 = MakeNavigationItem<CFakeItem>("x", nullptr);
  CNavigationHolder y = MakeNavigationItem<CFakeItem>("y", nullptr);
  EXPECT_TRUE(empty1 == empty2);
  EXPECT_FALSE(empty1 == x);
  EXPECT_FALSE(x == empty1);
  EXPECT_TRUE(x == CNavigationHolder(x));
  EXPECT_TRUE(x == x2);
  EXPECT_FALSE(x == y);
}

TEST(NavigationHolderTest, DefaultLastChildWalksTheChildren) {
  CNavigationHolder leaf = MakeNavigationItem<CFakeItem>("leaf", nullptr);
  EXPECT_FALSE(leaf->GetLastChild());
  CNavigationHolder parent = MakeNavigationItem<CFakeItem>(
      "p", nullptr,
      std::vector<CNavigationHolder>{MakeNavigationItem<CFakeItem>("1", nullptr),
                                     MakeNavigationItem<CFakeItem>("2", nullptr),
                                     MakeNavigationItem<CFakeItem>("3", nullptr)});
  CNavigationHolder last = parent->GetLastChild();
  ASSERT_TRUE(last);
  EXPECT_EQ(last->GetName(), "3");
  EXPECT_FALSE(parent->GetNextChild(*last));
}

TEST(NavigationHolderTest, CountsStayExactAcrossThreads) {
  int destroyed = 0;
  CNavigationHolder shared = MakeNavigationItem<CFakeItem>("t", &destroyed);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&shared] {
      for (int i = 0; i < 100000; ++i) {
        CNavigationHolder copy = shared;
        CNavigationHolder other = copy;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(shared->GetReferenceCount(), 1u);
  shared.Reset();
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
