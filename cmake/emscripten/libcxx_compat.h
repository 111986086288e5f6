// Fills in what Emscripten 3.1.6's libc++ (version 13) lacks of the C++20 library that the
// sources use; included into every file of the WebAssembly build by cmake/emscripten.cmake.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 16000
namespace std {
// Arrays only: the one form the sources use.
template <class T>
  requires is_unbounded_array_v<T>
unique_ptr<T> make_unique_for_overwrite(size_t n) {
  return unique_ptr<T>(new remove_extent_t<T>[n]);
}
}  // namespace std
#endif
