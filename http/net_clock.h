#pragma once
// The time the cookie rules and date headers work with: now, and the
// machine's offset from UTC in effect now. Tests give their own.

#include <cstdint>

class TNetClock {
 public:
  virtual ~TNetClock() = default;
  // Milliseconds since 1970-01-01 00:00 UTC.
  virtual int64_t NowUTCMilliseconds() const = 0;
  // Local time minus UTC, in seconds, as in effect now.
  virtual int32_t UTCOffsetSeconds() const = 0;

  // Now in local time, in milliseconds since 1970-01-01 00:00 local.
  int64_t NowLocalMilliseconds() const {
    return NowUTCMilliseconds() + int64_t{UTCOffsetSeconds()} * 1000;
  }

  // The machine's clock and time zone.
  static const TNetClock& System();
};

// A clock that stands still where a test puts it.
class TFixedNetClock : public TNetClock {
 public:
  TFixedNetClock(int64_t nowUTCMilliseconds, int32_t utcOffsetSeconds)
      : now_(nowUTCMilliseconds), offset_(utcOffsetSeconds) {}
  int64_t NowUTCMilliseconds() const override { return now_; }
  int32_t UTCOffsetSeconds() const override { return offset_; }
  void Advance(int64_t milliseconds) { now_ += milliseconds; }

 private:
  int64_t now_;
  int32_t offset_;
};
