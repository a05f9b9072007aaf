#pragma once

// What the browser build's C++ library (LLVM 14's libc++) lacks of C++20 and this code base
// uses; forced into every unit of that build alone (cmake/TolvaneWasm.cmake). Each is what the
// standard defines, so the code reads the same in both builds.
#include <memory>
#include <type_traits>

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 15000
namespace std {

template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
         is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}

template <class T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t size) {
  return unique_ptr<T>(new remove_extent_t<T>[size]);
}

template <class T>
requires(!is_array_v<T>) unique_ptr<T> make_unique_for_overwrite() { return unique_ptr<T>(new T); }

}  // namespace std
#endif
