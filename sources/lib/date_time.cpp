#include "lib/date_time.h"

#include <chrono>

TDateTime Now() {
    // 25569 days lie between 30 December 1899 and the Unix epoch.
    constexpr double UnixEpochDays = 25569.0;
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const double milliseconds = std::chrono::duration<double, std::milli>(sinceEpoch).count();
    return UnixEpochDays + milliseconds / MillisecondsPerDay;
}
