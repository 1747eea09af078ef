#pragma once
// CSamplePlayer: plays a stored sample through the desktop's audio output (Qt Multimedia),
// decoded as the output asks for it, a block at a time (browse/LoopedSampleStream.h): the sample
// is never whole in memory. A looped sample plays to its loop's end and then repeats its loop, as
// a sampler holds a note, until Stop.
//
//   CSamplePlayer player;
//   if (const QString why = player.UnavailableReason(); !why.isEmpty()) playButton->setToolTip(why);
//   player.Play(contents.OpenItem(record));    // stops what played before
//   player.Stop();
//
// Without an audio output device (a headless machine, a test) there is nothing to play on: the
// reason says so and Play does nothing; nothing waits for a device. Playing ends by itself at the
// end of a sample without a loop or at a decoding failure (Failed, with the reason).

#include <QIODevice>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "framework/media/Media.h"

class CLoopedSampleStream;
class QAudioSink;

class CSamplePlayer : public QObject {
  Q_OBJECT
 public:
  // `availability` answers why nothing can be played ("" when something can); the desktop's
  // audio outputs when not given.
  explicit CSamplePlayer(std::function<QString()> availability = {}, QObject* parent = nullptr);
  ~CSamplePlayer() override;

  // Why no sample can be played here; "" when one can.
  QString UnavailableReason() const;
  // Starts playing the item's sample; XBadFormat and the decoder's failures for a sample that
  // cannot be read, with nothing playing.
  void Play(std::unique_ptr<NSFerryman::CMedia> item);
  void Stop();
  bool IsPlaying() const { return sink_ != nullptr; }

 signals:
  void PlayingChanged(bool playing);
  void Failed(QString reason);

 private:
  std::function<QString()> availability_;
  QAudioSink* sink_ = nullptr;
  QIODevice* source_ = nullptr;
};
