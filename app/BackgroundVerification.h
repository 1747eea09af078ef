#pragma once
// CBackgroundVerification: the verification of a Hamper file (pack/HamperVerification.h) on a
// thread of its own, so that the window that asked stays alive: its progress comes back as
// signals on the window's thread, Stop is taken before the next item, and the report (or the
// failure that ended it) comes back once.
//
//   CBackgroundVerification run;
//   connect(&run, &CBackgroundVerification::Progress, ...);
//   connect(&run, &CBackgroundVerification::Finished, ...);
//   run.Start(path, settings);
//   run.RequestStop();
//
// Destroying it stops the verification and waits for its thread, which ends after the item it is
// checking.

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "pack/HamperVerification.h"

class CBackgroundVerification : public QObject {
  Q_OBJECT
 public:
  explicit CBackgroundVerification(QObject* parent = nullptr);
  ~CBackgroundVerification() override;

  // The settings' database and library must outlive the verification.
  void Start(const std::string& file, const CHamperVerificationSettings& settings);
  void RequestStop() { stop_ = true; }
  bool IsRunning() const { return running_; }
  // Waits for the thread (the report still arrives as a signal).
  void Wait();

 signals:
  void Progress(int perMille, QString item);
  // `failure` is empty when the report is whole.
  void Finished(std::shared_ptr<const CHamperVerificationReport> report, QString failure);

 private:
  std::thread worker_;
  std::atomic<bool> stop_{false};
  bool running_ = false;
};
