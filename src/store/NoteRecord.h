#pragma once

#include "store/CalendarTime.h"
#include "store/Clock.h"

#include <cstdint>
#include <string>

// One folder or note. A plain value: copied into the store, copied out for
// the clipboard note, changed in place through NotesMgr::findRecord.
struct NoteRecord {
    static constexpr int32_t RECUR_ONCE = 0;
    static constexpr int32_t RECUR_DAILY = 1;
    static constexpr int32_t RECUR_WEEKLY = 2;
    static constexpr int32_t RECUR_MONTHLY = 3;
    static constexpr int32_t RECUR_YEARLY = 4;
    static constexpr uint32_t ALL_WEEKDAYS = 0x11111110;

    int32_t id = 0;
    int32_t parentId = 0;            // -1 for the database root
    int32_t isFolder = 1;
    std::u16string title;
    std::u16string text;
    int32_t reminderEnabled = 0;
    CalendarTime reminderTime = Clock::current().localNow();  // the moment of creation
    CalendarTime lastAlert{};        // never
    int32_t recurrence = RECUR_WEEKLY;
    uint32_t weekdayMask = ALL_WEEKDAYS;

    friend bool operator==(const NoteRecord&, const NoteRecord&) = default;
};
