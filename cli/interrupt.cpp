#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace kestravin {

namespace {

std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "the handler may only touch lock-free atomics");

extern "C" void noteSignal(int number) {
  gSignal.store(number);
}

using Handler = void (*)(int);
Handler gOldInterrupt = SIG_DFL;
Handler gOldTerminate = SIG_DFL;

}  // namespace

InterruptWatch::InterruptWatch() {
  gSignal.store(0);
  gOldInterrupt = std::signal(SIGINT, noteSignal);
  gOldTerminate = std::signal(SIGTERM, noteSignal);
}

InterruptWatch::~InterruptWatch() {
  std::signal(SIGINT, gOldInterrupt == SIG_ERR ? SIG_DFL : gOldInterrupt);
  std::signal(SIGTERM, gOldTerminate == SIG_ERR ? SIG_DFL : gOldTerminate);
}

int InterruptWatch::signal() {
  return gSignal.load();
}

}  // namespace kestravin
