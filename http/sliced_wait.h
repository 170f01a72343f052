#pragma once
// A wait for a socket that an idle hook can interrupt: in one piece without
// a hook; with one, in slices of at most kIdleSliceMs with the hook called
// between them, so a window keeps running its messages while it waits.

#include <functional>

constexpr int kIdleSliceMs = 10;

// ready(waitMs) waits up to waitMs (kNoTimeLimit: without limit) and tells
// whether the socket is ready. Returns false when timeoutMs (kNoTimeLimit:
// none) ran out first. The hook may raise to end the wait.
bool WaitInSlices(const std::function<bool(int waitMs)>& ready, int timeoutMs,
                  const std::function<void()>& idle);
