#pragma once
// CFolderDialogState: the folder a dialog last used, kept between runs in the application's
// settings (QSettings) under a key of its own: "HMID" for the input folder, "HMOD" for the
// folder of the output file.
//
//   CFolderDialogState input("HMID");
//   dialogs.ChooseFolder(window, title, input.GetFolder());
//   input.Remember(chosen);

#include <string>

class CFolderDialogState {
 public:
  explicit CFolderDialogState(std::string key) : key_(std::move(key)) {}

  const std::string& GetKey() const { return key_; }
  // The folder remembered, "" when none is.
  std::string GetFolder() const;
  void Remember(const std::string& folder);

 private:
  std::string key_;
};
