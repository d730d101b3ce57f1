// Starting threads that run a callable. The thread owns its callable and
// frees it when it ends.
#pragma once

#include "base/Handle.h"

#include <functional>

// Starts a thread; an empty handle means it could not be created (the
// callable is then dropped without running).
CHandle StartThread(std::function<void()> body);

// Starts a thread nobody waits for; false when it could not be created.
bool StartDetachedThread(std::function<void()> body);
