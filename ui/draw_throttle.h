#pragma once

#include <chrono>

namespace kestravin::ui {

/// Lets a drawing through at most a given number of times a second.
class DrawThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  explicit DrawThrottle(int perSecond)
      : interval_(std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) /
                  perSecond) {}

  /// Whether a drawing may take place at `now`; when it may, it counts as done.
  bool due(Clock::time_point now) {
    if (drawn_ && now - last_ < interval_) return false;
    drawn_ = true;
    last_ = now;
    return true;
  }

 private:
  Clock::duration interval_;
  Clock::time_point last_{};
  bool drawn_ = false;
};

}  // namespace kestravin::ui
