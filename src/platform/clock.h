// The application clock: "now" for dates and times, and milliseconds for
// timers. The front end uses the system clock; tests move a fake one.
#pragma once

namespace mk {

class Clock {
public:
    virtual ~Clock() = default;
    virtual long long monotonicMs() const = 0;  // for timers
    virtual double now() const = 0;             // local date and time (date serial)
    double today() const;                       // the date part of now()
};

class SystemClock : public Clock {
public:
    long long monotonicMs() const override;
    double now() const override;
};

class FakeClock : public Clock {
public:
    explicit FakeClock(double start) : start_(start) {}
    long long monotonicMs() const override { return ms_; }
    double now() const override { return start_ + static_cast<double>(ms_) / 86400000.0; }
    void setMs(long long ms) { ms_ = ms; }
    void setNow(double serial) { start_ = serial - static_cast<double>(ms_) / 86400000.0; }

private:
    double start_;
    long long ms_ = 0;
};

}  // namespace mk
