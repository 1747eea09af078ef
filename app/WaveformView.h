#pragma once
// CWaveformView: the outline of a sample, the lowest and highest value of each pixel column
// (browse/WaveformPeaks.h), drawn centred on its zero line, left and right channels together.
// A long sample's peaks are computed on a thread of their own, the view saying so meanwhile;
// showing another sample, or none, stops that work.
//
//   view->Show(contents.OpenItem(record));   // the sample's stream; null shows nothing
//   view->IsComputing();

#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "browse/WaveformPeaks.h"
#include "framework/media/Media.h"

class CWaveformView : public QWidget {
  Q_OBJECT
 public:
  // Stored samples larger than this are drawn from peaks computed in the background.
  static constexpr std::uint64_t kBackgroundBytes = std::uint64_t{4} << 20;

  explicit CWaveformView(QWidget* parent = nullptr);
  ~CWaveformView() override;

  void Show(std::unique_ptr<NSFerryman::CMedia> item);
  bool IsComputing() const { return worker_.joinable() && !done_; }
  bool HasPeaks() const { return !peaks_.low.empty(); }
  const CWaveformPeaks& Peaks() const { return peaks_; }
  // Why the sample cannot be drawn; "" when it can.
  const QString& Problem() const { return problem_; }

  QSize sizeHint() const override { return {480, 120}; }

 signals:
  void PeaksReady();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void StopWork();

  CWaveformPeaks peaks_;
  QString problem_;
  std::thread worker_;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::atomic<bool> done_{true};
  std::uint64_t generation_ = 0;
};
