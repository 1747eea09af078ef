#pragma once
// CAboutDialog: the modeless about box, titled "About Hamper packer...": the application's
// picture and, beneath it, "Application version: " and the version. It deletes itself when
// closed; the application keeps at most one.
//
//   auto* about = new CAboutDialog(version, window);
//   about->show();

#include <QDialog>
#include <string>

class CAboutDialog : public QDialog {
  Q_OBJECT
 public:
  // `version` is the application's version text ("0.1.0").
  explicit CAboutDialog(const std::string& version, QWidget* parent = nullptr);
};
