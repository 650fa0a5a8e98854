#pragma once
#include <functional>

// An event: a typed callable that the owner assigns, empty when unassigned. A var
// parameter is a non-const reference the handler may change; an out parameter is a
// reference the handler must set.
template <class... Parameters>
using TEvent = std::function<void(Parameters...)>;
