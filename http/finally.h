#pragma once
// Runs body, then cleanup, also when body raises; a raising cleanup replaces
// the body's exception, as a finally block does.

template <class Body, class Cleanup>
void WithCleanup(Body body, Cleanup cleanup) {
  try {
    body();
  } catch (...) {
    cleanup();
    throw;
  }
  cleanup();
}
