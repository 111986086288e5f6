#include "experiment/peers.h"

#include <cstdio>
#include <cstdlib>

namespace kestravin {

void LonePeer::abort(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::exit(1);
}

}  // namespace kestravin
