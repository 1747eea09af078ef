#pragma once
// CAlertDialog: an alert (framework/resources/Alert.h) as a modal dialog box: its icon, its
// title (the application's name when the alert has none), the message with its line breaks, and
// its buttons in the script's order, the alert's default (button 1, the last, unless it says
// otherwise) taking Return. An alert with details
// (the cause behind it) has a "Show Details" button that opens them below, to read and copy.
//
//   CAlertDialog box(alert, parentWindow);
//   const int result = box.Run();   // kAlertButton1..3, or kAlertClosed for Escape or the frame's close
//
// CAlertBoxes is the host that shows every alert so; front ends give it to whatever shows alerts.

#include <QDialog>
#include <functional>
#include <vector>

#include "framework/resources/Alert.h"
#include "framework/resources/AlertHost.h"

class QPushButton;

class CAlertDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CAlertDialog(const NSFerryman::CAlert& alert, QWidget* parent = nullptr);

  // Shows the box modally and gives the result code of the button chosen.
  int Run();
  // The button that gives `result`; null when the alert has none.
  QPushButton* Button(int result) const;

  void reject() override;

 private:
  std::vector<std::pair<QPushButton*, int>> buttons_;
};

class CAlertBoxes : public NSFerryman::MAlertHost {
 public:
  // Each box belongs to, and is centred on, the window `owner` gives while it is shown (the
  // window whose work asks); without one, the application's active window.
  explicit CAlertBoxes(std::function<QWidget*()> owner = {}) : owner_(std::move(owner)) {}
  int PresentAlert(const NSFerryman::CAlert& alert) override;

 private:
  std::function<QWidget*()> owner_;
};
