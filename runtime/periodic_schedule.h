// The schedule of a periodic timer, kept against absolute deadlines so that it never drifts: the
// Nth expiry falls due N periods after arming, however late the earlier ones were delivered, and
// never before. A back end arms it with its monotonic clock and waits for nextDue().
#pragma once

#include <chrono>
#include <cstdint>

namespace rt {

class PeriodicSchedule {
  public:
    using Duration = std::chrono::nanoseconds;

    void arm(Duration now, std::int32_t periodMs) {
        period_ = std::chrono::milliseconds(periodMs);
        next_ = now + period_;
    }
    Duration nextDue() const { return next_; }
    Duration period() const { return period_; }
    // One expiry has been delivered; the next falls due one period after the one just passed,
    // not one period after now.
    void expired() { next_ += period_; }

  private:
    Duration period_{};
    Duration next_{};
};

} // namespace rt
