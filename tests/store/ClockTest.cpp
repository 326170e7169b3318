#include "store/Clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, ManualClockStepsAcrossDaysMonthsAndYears)
{
    ManualClock clock({2026, 12, 4, 31, 23, 59, 30, 250}, 1000);
    clock.advanceSeconds(45);
    EXPECT_EQ(clock.localNow(), (CalendarTime{2027, 1, 5, 1, 0, 0, 15, 250}));
    EXPECT_EQ(clock.tickCount(), 46000u);
    clock.set({2028, 2, 1, 28, 12, 0, 0, 0});
    clock.advanceSeconds(86400);
    EXPECT_EQ(clock.localNow(), (CalendarTime{2028, 2, 2, 29, 12, 0, 0, 0}));  // leap day, a Tuesday
    clock.advanceSeconds(-86400 * 366);
    EXPECT_EQ(clock.localNow(), (CalendarTime{2027, 2, 0, 28, 12, 0, 0, 0}));
}

TEST(Clock, InstalledClockIsCurrentUntilRemoved)
{
    const ManualClock manual({2000, 1, 6, 1, 0, 0, 0, 0});
    {
        ScopedClock scoped(manual);
        EXPECT_EQ(Clock::current().localNow(), manual.localNow());
    }
    EXPECT_NE(&Clock::current(), &manual);
    EXPECT_GE(Clock::current().localNow().year, 2024);
}

TEST(Clock, CivilConversionRoundTrips)
{
    for (int64_t s : {int64_t(0), int64_t(-1), int64_t(951782400), int64_t(4102444800), int64_t(-11644473600)}) {
        const CalendarTime t = civilFromSeconds(s);
        EXPECT_EQ(secondsFromCivil(t), s) << s;
    }
    EXPECT_EQ(civilFromSeconds(-11644473600), (CalendarTime{1601, 1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(daysFromCivil(2000, 3, 1), 11017);
}

TEST(Clock, LocalConversionRefusesWhatACalendarTimeCannotHold)
{
    EXPECT_FALSE(localTimeFromUnix(INT64_MAX).has_value());
    EXPECT_FALSE(localTimeFromUnix(INT64_MIN).has_value());
    EXPECT_FALSE(localTimeFromUnix(1000000000000).has_value());   // year 33658
    EXPECT_FALSE(localTimeFromUnix(-12000000000).has_value());    // year 1589
    EXPECT_TRUE(localTimeFromUnix(0).has_value());
}

} // namespace
