#include "store/Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <limits>

namespace {

class SystemClock : public Clock {
public:
    CalendarTime localNow() const override
    {
        using namespace std::chrono;
        const auto now = system_clock::now();
        const auto secs = time_point_cast<seconds>(now);
        const auto ms = duration_cast<milliseconds>(now - secs).count();
        auto t = localTimeFromUnix(secs.time_since_epoch().count()).value_or(CalendarTime{});
        t.millisecond = static_cast<uint16_t>(ms);
        return t;
    }

    uint32_t tickCount() const override
    {
        using namespace std::chrono;
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

const SystemClock systemClock;
std::atomic<const Clock*> installed{nullptr};

} // namespace

const Clock& Clock::current()
{
    const Clock* c = installed.load(std::memory_order_acquire);
    return c ? *c : systemClock;
}

void Clock::install(const Clock* clock)
{
    installed.store(clock, std::memory_order_release);
}

void ManualClock::advanceSeconds(int64_t seconds)
{
    const uint16_t ms = now_.millisecond;
    now_ = civilFromSeconds(secondsFromCivil(now_) + seconds);
    now_.millisecond = ms;
    ticks_ += static_cast<uint32_t>(seconds * 1000);
}

std::optional<CalendarTime> localTimeFromUnix(int64_t seconds)
{
    if (seconds < std::numeric_limits<time_t>::min() || seconds > std::numeric_limits<time_t>::max())
        return std::nullopt;
    const time_t t = static_cast<time_t>(seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return std::nullopt;
    const long long year = static_cast<long long>(tm.tm_year) + 1900;
    if (year < 1601 || year > 30827)
        return std::nullopt;
    CalendarTime c;
    c.year = static_cast<uint16_t>(year);
    c.month = static_cast<uint16_t>(tm.tm_mon + 1);
    c.dayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    c.day = static_cast<uint16_t>(tm.tm_mday);
    c.hour = static_cast<uint16_t>(tm.tm_hour);
    c.minute = static_cast<uint16_t>(tm.tm_min);
    // A leap second reads as :60; clamp it like the system's own calendar time does.
    c.second = static_cast<uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    return c;
}

// Howard Hinnant's days-from-civil algorithm.
int64_t daysFromCivil(int year, unsigned month, unsigned day)
{
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (static_cast<int64_t>(month) + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CalendarTime civilFromSeconds(int64_t secondsSinceEpoch)
{
    int64_t days = secondsSinceEpoch / 86400;
    int64_t rem = secondsSinceEpoch % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);

    CalendarTime t;
    t.year = static_cast<uint16_t>(y);
    t.month = static_cast<uint16_t>(m);
    t.day = static_cast<uint16_t>(d);
    // 1970-01-01 was a Thursday.
    int64_t wd = (days + 4) % 7;
    t.dayOfWeek = static_cast<uint16_t>(wd < 0 ? wd + 7 : wd);
    t.hour = static_cast<uint16_t>(rem / 3600);
    t.minute = static_cast<uint16_t>(rem / 60 % 60);
    t.second = static_cast<uint16_t>(rem % 60);
    return t;
}

int64_t secondsFromCivil(const CalendarTime& t)
{
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}
