// A value or an error message, for operations that report failures to the
// window instead of throwing.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace qm4 {

struct Error {
    std::string message;
};

template <class T>
class Expected {
  public:
    Expected(T value) : v_(std::move(value)) {}
    Expected(Error error) : v_(std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<0>(v_); }
    T& value() { return std::get<0>(v_); }
    const T* operator->() const { return &value(); }
    const T& operator*() const { return value(); }
    const Error& error() const { return std::get<1>(v_); }

  private:
    std::variant<T, Error> v_;
};

// Success or an error, for operations without a value.
using Status = Expected<std::monostate>;
inline Status okStatus() { return Status(std::monostate{}); }

}  // namespace qm4
