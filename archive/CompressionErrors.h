// The archive writer's failures. Messages are complete sentences for the operator.
#pragma once

#include "platform/FailureCause.h"

#include <stdexcept>
#include <string>

namespace archive {

class ELibraryError : public platform::Failure {
public:
    using Failure::Failure;
};
class ECompressionError : public ELibraryError {
public:
    using ELibraryError::ELibraryError;
};
class ECompressionCancelled : public ECompressionError {
public:
    using ECompressionError::ECompressionError;
};
class ECompressionFalse : public ECompressionError {
public:
    using ECompressionError::ECompressionError;
};

inline constexpr const char* NotWhileCompressingText =
    "Operation is not supported while compressing";
inline constexpr const char* PropertyNotAvailableText = "Property is not available";

} // namespace archive
