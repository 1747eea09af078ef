#include "app/WaveformView.h"

#include <QPainter>
#include <QPalette>

#include "app/BrowserTexts.h"
#include "app/PaletteColours.h"
#include "app/TextConversion.h"
#include "browse/SampleFacts.h"
#include "framework/resources/ResourceCache.h"

namespace {

// After the last change of width, the peaks are computed again once this has passed.
constexpr int kResizeSettleMs = 150;

struct CPeaksOutcome {
  CWaveformPeaks peaks;
  QString problem;
};

CPeaksOutcome Compute(std::unique_ptr<NSFerryman::CMedia> item, std::uint32_t columns, const std::atomic<bool>& stop) {
  CPeaksOutcome outcome;
  try {
    CSampleStream stream(std::move(item));
    outcome.peaks = ComputeWaveformPeaks(stream, columns, [&](std::uint64_t, std::uint64_t) { return !stop.load(); });
  } catch (const NSFerryman::XUserCancelled&) {
  } catch (const std::exception& e) {
    outcome.problem = QString::fromLocal8Bit(e.what());
  }
  return outcome;
}

}  // namespace

CWaveformView::CWaveformView(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(80);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  resized_ = new QTimer(this);
  resized_->setSingleShot(true);
  resized_->setInterval(kResizeSettleMs);
  connect(resized_, &QTimer::timeout, this, [this] { Compute(); });
}

CWaveformView::~CWaveformView() { StopWork(); }

std::uint32_t CWaveformView::ColumnsShown() const { return static_cast<std::uint32_t>(std::max(1, width() - 2)); }

void CWaveformView::StopWork() {
  if (stop_) stop_->store(true);
  if (worker_.joinable()) worker_.join();
  stop_.reset();
  done_ = true;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> CWaveformView::LoopColumns() const {
  if (!header_ || !SampleHasLoop(*header_)) return std::nullopt;
  const std::uint32_t columns = ColumnsShown();
  return std::pair{WaveformColumnOf(header_->loopStart, header_->frameCount, columns),
                   WaveformColumnOf(header_->loopEnd - 1, header_->frameCount, columns)};
}

void CWaveformView::Show(ItemOpener open, std::optional<CVORPSampleHeader> header) {
  StopWork();
  resized_->stop();
  ++generation_;
  peaks_ = {};
  problem_.clear();
  computedColumns_ = 0;
  open_ = std::move(open);
  header_ = header;
  update();
  Compute();
}

void CWaveformView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (open_ && computedColumns_ != ColumnsShown()) Compute();
}

void CWaveformView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (open_ && isVisible() && computedColumns_ != ColumnsShown()) resized_->start();
}

void CWaveformView::Compute() {
  resized_->stop();
  // Until it is shown, the view's width is not the one it will have.
  if (!open_ || !isVisible()) return;
  StopWork();
  ++generation_;
  problem_.clear();
  const std::uint32_t columns = ColumnsShown();
  computedColumns_ = columns;
  std::unique_ptr<NSFerryman::CMedia> item;
  try {
    item = open_();
  } catch (const std::exception& e) {
    peaks_ = {};
    problem_ = QString::fromLocal8Bit(e.what());
    update();
    return;
  }
  if (!item) return;
  if (item->GetSize() <= kBackgroundBytes) {
    const std::atomic<bool> never{false};
    CPeaksOutcome outcome = ::Compute(std::move(item), columns, never);
    peaks_ = std::move(outcome.peaks);
    problem_ = outcome.problem;
    update();
    emit PeaksReady();
    return;
  }
  stop_ = std::make_shared<std::atomic<bool>>(false);
  done_ = false;
  update();
  const std::uint64_t generation = generation_;
  worker_ = std::thread([this, generation, columns, stop = stop_, media = std::move(item)]() mutable {
    auto outcome = std::make_shared<CPeaksOutcome>(::Compute(std::move(media), columns, *stop));
    if (stop->load()) return;
    // Handed to the window's thread; a view deleted meanwhile never gets the event.
    QMetaObject::invokeMethod(
        this,
        [this, generation, outcome] {
          if (generation != generation_) return;
          peaks_ = std::move(outcome->peaks);
          problem_ = outcome->problem;
          done_ = true;
          update();
          emit PeaksReady();
        },
        Qt::QueuedConnection);
  });
}

void CWaveformView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect().adjusted(1, 1, -1, -1);
  painter.fillRect(area, palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(area);
  const int middle = area.center().y();
  // While the peaks are computed again for a new width, the old ones are drawn stretched.
  if (!problem_.isEmpty() || (IsComputing() && peaks_.low.empty())) {
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                     problem_.isEmpty() ? DisplayText(NSFerryman::GetString(browsertext::kComputingWaveform)) : problem_);
    return;
  }
  const auto loop = LoopColumns();
  const QColor loopColour = PaletteColour(palette(), EMarkColour::kLoop);
  if (loop) {
    QColor shade = loopColour;
    shade.setAlphaF(0.12f);
    painter.fillRect(QRect(QPoint(area.left() + static_cast<int>(loop->first), area.top()),
                           QPoint(area.left() + static_cast<int>(loop->second), area.bottom())),
                     shade);
  }
  painter.drawLine(area.left(), middle, area.right(), middle);
  if (!peaks_.low.empty()) DrawPeaks(painter, area);
  if (loop) {
    painter.setPen(loopColour);
    for (const std::uint32_t column : {loop->first, loop->second}) {
      const int x = area.left() + static_cast<int>(column);
      painter.drawLine(x, area.top(), x, area.bottom());
    }
  }
}

void CWaveformView::DrawPeaks(QPainter& painter, const QRect& area) const {
  const int middle = area.center().y();
  painter.setPen(palette().color(QPalette::Highlight));
  const double half = area.height() / 2.0 - 1;
  const std::size_t columns = peaks_.low.size();
  for (int x = 0; x < area.width(); ++x) {
    // The columns were computed for the width the view had; drawn at any other, each pixel
    // takes the column that falls on it.
    const std::size_t c = std::min(columns - 1, static_cast<std::size_t>(x) * columns / static_cast<std::size_t>(area.width()));
    const int top = middle - static_cast<int>(peaks_.high[c] / 32768.0 * half);
    const int bottom = middle - static_cast<int>(peaks_.low[c] / 32768.0 * half);
    painter.drawLine(area.left() + x, top, area.left() + x, bottom);
  }
}
