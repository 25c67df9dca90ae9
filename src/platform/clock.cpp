#include "platform/clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/value.h"

namespace mk {

double Clock::today() const { return std::floor(now()); }

long long SystemClock::monotonicMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

double SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return makeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                        tm.tm_sec);
}

}  // namespace mk
