// The wall-clock time in the local time zone.
#pragma once

namespace platform {

struct LocalTime {
    int year;   // four digits
    int month;  // 1 to 12
    int day;    // 1 to 31
    int hour;   // 0 to 23
    int minute; // 0 to 59
    int second; // 0 to 60
};

// Now, in local time; all fields zero when the clock cannot be read.
LocalTime CurrentLocalTime();

} // namespace platform
