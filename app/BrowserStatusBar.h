#pragma once
// CBrowserStatusBar: the totals at the foot of a Hamper browser window: the items shown and in
// all ("20,481 items", "12 of 20,481 items shown"), the selection's items and size, and the
// Hamper's stored audio against its size as 16-bit PCM, the ratio `hamper info` prints.

#include <QStatusBar>
#include <cstdint>

class QLabel;
struct CHamperSummary;

class CBrowserStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  explicit CBrowserStatusBar(QWidget* parent = nullptr);

  void ShowItems(std::size_t shown, std::size_t all);
  // Nothing when nothing is selected.
  void ShowSelection(std::size_t items, std::uint64_t bytes);
  // Nothing for a Hamper without samples.
  void ShowAudio(const CHamperSummary& summary);

 private:
  QLabel* items_;
  QLabel* selection_;
  QLabel* audio_;
};
