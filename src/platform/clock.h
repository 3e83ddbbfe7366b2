#pragma once

#include <string>

namespace dovrante {

// A local date and time, to the second.
struct DateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTime &) const = default;
};

// The clock, and the user's regional way of writing a moment.
class Clock {
public:
    virtual ~Clock() = default;
    Clock() = default;
    Clock(const Clock &) = delete;
    Clock &operator=(const Clock &) = delete;

    // The current local time.
    virtual DateTime now() = 0;
    // The short date, a blank and the long time without time zone; only the date at 00:00:00.
    virtual std::string regionalDateTime(const DateTime &moment) = 0;
};

} // namespace dovrante
