#pragma once
// CDatabaseInterface: the root item of the installed-Hamper database, named "Hampers". Its
// children are the database's top-level items, the installed Hampers. It belongs to its database
// and is never destroyed by Release; its counter only records the references handed out.

#include <atomic>

#include "navigation/NavigationInterface.h"

class CDatabase;

class CDatabaseInterface : public MINavigationInterface {
 public:
  static constexpr const char* kName = "Hampers";
  static constexpr int kImage = 11;

  explicit CDatabaseInterface(CDatabase& database) : database_(database) {}
  ~CDatabaseInterface() override = default;

  CDatabase& GetDatabase() const { return database_; }

  CNavigationHolder GetFirstChild() const override;
  CNavigationHolder GetNextChild(const MINavigationInterface& child) const override;
  CNavigationHolder GetPreviousChild(const MINavigationInterface& child) const override;
  bool IsSame(const MINavigationInterface& other) const override;
  bool IsContainer() const override { return true; }
  std::string GetName() const override { return kName; }
  int GetImage() const override { return kImage; }
  void AddReference() const override { ++references_; }
  void Release() const override { --references_; }

 private:
  CDatabase& database_;
  mutable std::atomic<int> references_{0};
};
