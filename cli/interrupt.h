#pragma once

namespace kestravin {

/// While it lives, SIGINT and SIGTERM do not end the program: they are noted, and the program
/// ends its work at a point of its own choosing. One at a time.
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  /// The signal that came, or 0; safe from any thread.
  static int signal();
  /// The exit status of a program ended by that signal: 128 + its number (130, 143).
  static int exitStatus() { return 128 + signal(); }
};

}  // namespace kestravin
