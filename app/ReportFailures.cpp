#include "app/ReportFailures.h"

#include <cstdio>
#include <exception>

#include "framework/resources/ExceptionAlerts.h"

bool ReportFailures(NSFerryman::MAlertHost& alerts, const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (...) {
    const std::exception_ptr failure = std::current_exception();
    try {
      // The framework's alert names the kind of failure; the detail (which file, which item) goes
      // to the error stream, where a user reporting a problem can find it.
      if (NSFerryman::FrameworkAlertFor(failure)) {
        try {
          std::rethrow_exception(failure);
        } catch (const std::exception& e) {
          std::fprintf(stderr, "hamper-packer: %s\n", e.what());
        } catch (...) {
        }
      }
      NSFerryman::ShowAlertForException(alerts, failure);
    } catch (const std::exception& e) {
      // Showing the alert failed as well; the error stream is all that is left.
      std::fprintf(stderr, "hamper-packer: %s\n", e.what());
    } catch (...) {
      std::fprintf(stderr, "hamper-packer: an unknown failure\n");
    }
    return false;
  }
}
