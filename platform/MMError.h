#pragma once
// Common root of the components' own exception classes; each carries a fixed English text.

#include <stdexcept>
#include <string>

namespace ostrel {

class EMMError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Off-screen pixel surface failures.
class EMMDIBError : public EMMError {
 public:
  using EMMError::EMMError;
};

}  // namespace ostrel
