#pragma once
// MFileDialogs: the folder and save-file dialogs the packer window asks. The desktop's own
// dialogs serve (CDesktopFileDialogs); tests answer with their own.
//
//   if (auto folder = dialogs.ChooseFolder(window, title, remembered)) SetInputFolder(*folder);

#include <optional>
#include <string>

class QWidget;

class MFileDialogs {
 public:
  virtual ~MFileDialogs() = default;
  // The folder chosen, starting at `startFolder` ("" for the home folder); none when cancelled.
  virtual std::optional<std::string> ChooseFolder(QWidget* parent, const std::string& title,
                                                  const std::string& startFolder) = 0;
  // The file chosen to write, starting in `startFolder` with `proposedName` offered; none when
  // cancelled. Replacing an existing file is not asked here (the pack job asks).
  virtual std::optional<std::string> ChooseSaveFile(QWidget* parent, const std::string& title,
                                                    const std::string& startFolder,
                                                    const std::string& proposedName) = 0;
  // The Hamper (.hmp) chosen to open, starting in `startFolder`; none when cancelled.
  virtual std::optional<std::string> ChooseHamperToOpen(QWidget* parent, const std::string& title,
                                                        const std::string& startFolder) = 0;
};

class CDesktopFileDialogs : public MFileDialogs {
 public:
  std::optional<std::string> ChooseFolder(QWidget* parent, const std::string& title,
                                          const std::string& startFolder) override;
  // A name typed without an extension gets ".hmp".
  std::optional<std::string> ChooseSaveFile(QWidget* parent, const std::string& title, const std::string& startFolder,
                                            const std::string& proposedName) override;
  std::optional<std::string> ChooseHamperToOpen(QWidget* parent, const std::string& title,
                                                const std::string& startFolder) override;
};
