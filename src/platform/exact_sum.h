// A sum of doubles kept exactly: its value is the true sum of every number
// added (less every number removed), rounded once, so it does not depend on
// the order of the numbers and a number removed leaves no trace. Infinite
// and NaN numbers are counted apart and give the sum they would give.
#pragma once

#include <vector>

namespace mk {

class ExactSum {
public:
    void add(double x);
    void remove(double x);
    void add(const ExactSum& other);
    double value() const;

private:
    void addFinite(double x);
    // Non-overlapping parts, smallest first, whose true sum is the sum.
    std::vector<double> partials_;
    long positiveInfinities_ = 0, negativeInfinities_ = 0, nans_ = 0;
};

}  // namespace mk
