#include "app/SamplePlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include "app/BrowserTexts.h"
#include "app/TextConversion.h"
#include "browse/SampleFacts.h"
#include "browse/LoopedSampleStream.h"
#include "framework/resources/ResourceCache.h"

namespace {

// The sample as a byte stream of 16-bit frames, decoded as the audio output reads; a looped
// sample's stream never ends.
class CSampleSource : public QIODevice {
 public:
  explicit CSampleSource(std::unique_ptr<CLoopedSampleStream> stream, QObject* parent)
      : QIODevice(parent), stream_(std::move(stream)) {}

  bool isSequential() const override { return true; }
  bool atEnd() const override { return ended_; }
  qint64 bytesAvailable() const override {
    return (ended_ ? 0 : qint64{1} << 20) + QIODevice::bytesAvailable();
  }
  const QString& Failure() const { return failure_; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const auto frames = static_cast<std::uint32_t>(std::min<qint64>(maxSize / FrameBytes(), 1 << 16));
    try {
      // Our frames are in the host's order, as Qt's 16-bit samples are.
      const std::uint32_t read = stream_->Read(reinterpret_cast<std::int16_t*>(data), frames);
      ended_ = read == 0 && frames > 0;
      return qint64{read} * FrameBytes();
    } catch (const std::exception& e) {
      failure_ = QString::fromLocal8Bit(e.what());
      ended_ = true;
      return 0;
    }
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  qint64 FrameBytes() const { return 2 * qint64{stream_->Header().channelCount}; }

  std::unique_ptr<CLoopedSampleStream> stream_;
  QString failure_;
  bool ended_ = false;
};

QString DesktopAvailability() {
  if (QMediaDevices::defaultAudioOutput().isNull()) {
    return DisplayText(NSFerryman::GetString(browsertext::kNoAudioOutput));
  }
  return {};
}

}  // namespace

CSamplePlayer::CSamplePlayer(std::function<QString()> availability, QObject* parent)
    : QObject(parent), availability_(availability ? std::move(availability) : &DesktopAvailability) {}

CSamplePlayer::~CSamplePlayer() { Stop(); }

QString CSamplePlayer::UnavailableReason() const { return availability_(); }

void CSamplePlayer::Play(std::unique_ptr<NSFerryman::CMedia> item) {
  Stop();
  if (!UnavailableReason().isEmpty()) return;
  auto stream = std::make_unique<CLoopedSampleStream>(std::move(item));
  const CVORPSampleHeader header = stream->Header();
  QAudioFormat format;
  format.setSampleRate(static_cast<int>(header.sampleRate));
  format.setChannelCount(header.channelCount);
  format.setSampleFormat(QAudioFormat::Int16);
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (!device.isFormatSupported(format)) {
    emit Failed(DisplayText(NSFerryman::GetString(browsertext::kAudioFormatUnplayable,
                                                  {SampleChannelsText(header), SampleRateText(header)})));
    return;
  }
  auto* source = new CSampleSource(std::move(stream), this);
  source->open(QIODevice::ReadOnly);
  sink_ = new QAudioSink(device, format, this);
  source_ = source;
  connect(sink_, &QAudioSink::stateChanged, this, [this, source](QAudio::State state) {
    // Idle: the source has given its last frame (or failed); the output has played what it had.
    if (state != QAudio::IdleState && state != QAudio::StoppedState) return;
    const QString failure = source->Failure();
    if (state == QAudio::IdleState || sink_->error() != QAudio::NoError) {
      QMetaObject::invokeMethod(this, [this] { Stop(); }, Qt::QueuedConnection);
    }
    if (!failure.isEmpty()) emit Failed(failure);
  });
  sink_->start(source);
  emit PlayingChanged(true);
}

void CSamplePlayer::Stop() {
  if (!sink_) return;
  QAudioSink* sink = sink_;
  sink_ = nullptr;
  sink->disconnect(this);
  sink->stop();
  sink->deleteLater();
  source_->deleteLater();
  source_ = nullptr;
  emit PlayingChanged(false);
}
