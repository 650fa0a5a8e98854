#pragma once
#include <stdexcept>
#include <string>

// An error that ends an operation and carries the message to show for it.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Message) : std::runtime_error(Message) {}
    std::string Message() const { return what(); }
};

// The silent exception: it ends an operation that has nothing to report; whoever
// dispatches the user's action drops it without a message.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};
