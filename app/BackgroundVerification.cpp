#include "app/BackgroundVerification.h"

#include <new>

#include "app/TextConversion.h"
#include "framework/media/Exceptions.h"
#include "references/Database.h"
#include "framework/resources/ExceptionAlerts.h"

namespace {

class CThreadHost : public MHamperVerificationHost {
 public:
  CThreadHost(CBackgroundVerification& owner, std::atomic<bool>& stop) : owner_(owner), stop_(stop) {}

  bool TakeStopRequest() override { return stop_.exchange(false); }
  void ShowVerificationProgress(std::int32_t perMille, std::string_view item) override {
    // Only changes of a whole per-mille or of the item travel: a Hamper of many small items
    // would otherwise flood the window's queue.
    if (perMille == lastValue_ && item == lastItem_) return;
    lastValue_ = perMille;
    lastItem_ = item;
    QMetaObject::invokeMethod(&owner_, [owner = &owner_, perMille, text = DisplayText(std::string(item))] {
      emit owner->Progress(perMille, text);
    }, Qt::QueuedConnection);
  }

 private:
  CBackgroundVerification& owner_;
  std::atomic<bool>& stop_;
  std::int32_t lastValue_ = -1;
  std::string lastItem_;
};

}  // namespace

CBackgroundVerification::CBackgroundVerification(QObject* parent) : QObject(parent) {}

CBackgroundVerification::~CBackgroundVerification() {
  stop_ = true;
  Wait();
}

void CBackgroundVerification::Wait() {
  if (worker_.joinable()) worker_.join();
}

void CBackgroundVerification::Start(const std::string& file, const CHamperVerificationSettings& settings) {
  Wait();
  stop_ = false;
  running_ = true;
  worker_ = std::thread([this, file, settings] {
    std::shared_ptr<CHamperVerificationReport> report;
    QString failure;
    try {
      // A check that would have to ask for a CD cannot ask from here: it fails its item.
      const CNoVolumeWaitingHere noWaiting;
      CThreadHost host(*this, stop_);
      report = std::make_shared<CHamperVerificationReport>(VerifyHamperFile(file, settings, host));
    } catch (const std::bad_alloc&) {
      failure = QString::fromStdString(NSFerryman::OutOfMemoryText());
    } catch (const std::exception& e) {
      failure = DisplayText(e.what());
    }
    QMetaObject::invokeMethod(this, [this, report, failure] {
      running_ = false;
      emit Finished(report, failure);
    }, Qt::QueuedConnection);
  });
}
