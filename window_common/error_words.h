#pragma once
// The words the windows show for a failure: Russian, with the path and the
// system's reason where they help. The terminal tools keep the messages the
// failures carry, which scripts may read.

#include <exception>

#include "message.h"

TMessage WindowMessageOf(const std::exception& error);
