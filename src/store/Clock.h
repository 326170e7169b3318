#pragma once

#include "store/CalendarTime.h"

#include <cstdint>
#include <optional>

// The one source of "now" for the whole program: local wall-clock time and a
// millisecond tick count. Tests install a ManualClock to set and step time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual CalendarTime localNow() const = 0;
    virtual uint32_t tickCount() const = 0;

    // The clock in force: the installed one, else the system clock.
    static const Clock& current();
    // Installs a clock (not owned; it must outlive its installation), or
    // restores the system clock when given null.
    static void install(const Clock* clock);
};

// A clock that only moves when told to.
class ManualClock : public Clock {
public:
    explicit ManualClock(const CalendarTime& now, uint32_t ticks = 0) : now_(now), ticks_(ticks) {}
    CalendarTime localNow() const override { return now_; }
    uint32_t tickCount() const override { return ticks_; }
    void set(const CalendarTime& now) { now_ = now; }
    // Moves the wall clock (with correct day of week) and the tick count.
    void advanceSeconds(int64_t seconds);

private:
    CalendarTime now_;
    uint32_t ticks_;
};

// Installs a clock for the lifetime of this object (for tests).
class ScopedClock {
public:
    explicit ScopedClock(const Clock& clock) { Clock::install(&clock); }
    ~ScopedClock() { Clock::install(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

// Converts seconds since 1970-01-01 00:00 UTC to local calendar time with the
// C library's local-time conversion (millisecond 0). Empty when the library
// refuses the moment or the year falls outside 1601-30827.
std::optional<CalendarTime> localTimeFromUnix(int64_t seconds);

// Calendar arithmetic on wall-clock fields, ignoring time zones: days since
// 1970-01-01 for a proleptic Gregorian date, and back.
int64_t daysFromCivil(int year, unsigned month, unsigned day);
CalendarTime civilFromSeconds(int64_t secondsSinceEpoch);
int64_t secondsFromCivil(const CalendarTime& t);
