#pragma once
// CWaveformView: the outline of a sample, the lowest and highest value of each pixel column
// (browse/WaveformPeaks.h), drawn centred on its zero line, left and right channels together.
// The peaks are computed for the columns the view shows once it is shown, and again when its
// width changes (a moment after the last change, so that dragging a splitter costs one pass); it
// grows with the room it is given. A long sample's peaks are computed on a thread of their own,
// the view saying so meanwhile; showing another sample, or none, stops that work. A looped
// sample's loop is shaded lightly between two markers, at its first and last frame, in a colour
// of the palette.
//
//   view->Show([&] { return contents.OpenItem(record); }, header);   // opens the sample's stream when needed
//   view->Show({});                                           // nothing
//   view->IsComputing();

#include <QPainter>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

#include "browse/WaveformPeaks.h"
#include "codec/VORPSampleHeader.h"
#include "framework/media/Media.h"

class CWaveformView : public QWidget {
  Q_OBJECT
 public:
  // Stored samples larger than this are drawn from peaks computed in the background.
  static constexpr std::uint64_t kBackgroundBytes = std::uint64_t{4} << 20;

  explicit CWaveformView(QWidget* parent = nullptr);
  ~CWaveformView() override;

  using ItemOpener = std::function<std::unique_ptr<NSFerryman::CMedia>()>;
  // `header` says where the loop is; none: no loop is marked.
  void Show(ItemOpener open, std::optional<CVORPSampleHeader> header = std::nullopt);
  bool IsComputing() const { return worker_.joinable() && !done_; }
  bool HasPeaks() const { return !peaks_.low.empty(); }
  const CWaveformPeaks& Peaks() const { return peaks_; }
  // Why the sample cannot be drawn; "" when it can.
  const QString& Problem() const { return problem_; }

  QSize sizeHint() const override { return {480, 120}; }
  // The columns the peaks are computed for: one per pixel inside the frame.
  std::uint32_t ColumnsShown() const;
  // The columns of the loop's first and last frame at the width shown; none without a loop.
  std::optional<std::pair<std::uint32_t, std::uint32_t>> LoopColumns() const;

 signals:
  void PeaksReady();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void StopWork();
  void DrawPeaks(QPainter& painter, const QRect& area) const;
  // Computes the peaks for the columns shown, or waits until the view is shown.
  void Compute();

  ItemOpener open_;
  std::optional<CVORPSampleHeader> header_;
  std::uint32_t computedColumns_ = 0;  // of the peaks shown or being computed; 0 for none
  QTimer* resized_ = nullptr;

  CWaveformPeaks peaks_;
  QString problem_;
  std::thread worker_;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::atomic<bool> done_{true};
  std::uint64_t generation_ = 0;
};
