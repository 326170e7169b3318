#pragma once

#include <cstdint>

// A local wall-clock moment in the eight 16-bit fields a database stores,
// in this order. All fields zero means "never".
struct CalendarTime {
    uint16_t year = 0;
    uint16_t month = 0;      // 1-12
    uint16_t dayOfWeek = 0;  // 0 = Sunday ... 6 = Saturday
    uint16_t day = 0;        // 1-31
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t millisecond = 0;

    bool isNever() const { return *this == CalendarTime{}; }
    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};
