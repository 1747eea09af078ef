#pragma once
// MFileDialogs: the folder and save-file dialogs the packer window asks. The desktop's own
// dialogs serve (CDesktopFileDialogs); tests answer with their own.
//
//   if (auto folder = dialogs.ChooseFolder(window, title, remembered)) SetInputFolder(*folder);

#include <optional>
#include <string>

class QWidget;

// What a save dialog saves: it offers files of that kind (a Hamper as ".hmp", a report as ".txt")
// and puts their suffix on a name typed without one.
enum class ESavedFileKind { kHamper, kText };

class MFileDialogs {
 public:
  virtual ~MFileDialogs() = default;
  // The folder chosen, starting at `startFolder` ("" for the home folder); none when cancelled.
  virtual std::optional<std::string> ChooseFolder(QWidget* parent, const std::string& title,
                                                  const std::string& startFolder) = 0;
  // The file of `kind` chosen to write, starting in `startFolder` with `proposedName` offered;
  // none when cancelled. Replacing an existing file is not asked here: the caller asks, where a
  // test can answer (the pack job, the report's Save As).
  virtual std::optional<std::string> ChooseSaveFile(QWidget* parent, const std::string& title,
                                                    const std::string& startFolder, const std::string& proposedName,
                                                    ESavedFileKind kind) = 0;
  // The Hamper (.hmp) chosen to open, starting in `startFolder`; none when cancelled.
  virtual std::optional<std::string> ChooseHamperToOpen(QWidget* parent, const std::string& title,
                                                        const std::string& startFolder) = 0;
};

class CDesktopFileDialogs : public MFileDialogs {
 public:
  std::optional<std::string> ChooseFolder(QWidget* parent, const std::string& title,
                                          const std::string& startFolder) override;
  // A name typed without an extension gets ".hmp" or ".txt".
  std::optional<std::string> ChooseSaveFile(QWidget* parent, const std::string& title, const std::string& startFolder,
                                            const std::string& proposedName, ESavedFileKind kind) override;
  std::optional<std::string> ChooseHamperToOpen(QWidget* parent, const std::string& title,
                                                const std::string& startFolder) override;
};
