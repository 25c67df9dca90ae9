#include "platform/exact_sum.h"

#include <cmath>
#include <limits>
#include <utility>

namespace mk {

void ExactSum::addFinite(double x) {
    // Each step splits x + partial into its rounded sum and the exact error.
    size_t kept = 0;
    for (size_t i = 0; i < partials_.size(); ++i) {
        double y = partials_[i];
        if (std::fabs(x) < std::fabs(y)) std::swap(x, y);
        const double hi = x + y;
        const double lo = y - (hi - x);
        if (lo != 0) partials_[kept++] = lo;
        x = hi;
    }
    partials_.resize(kept);
    partials_.push_back(x);
}

void ExactSum::add(double x) {
    if (std::isnan(x)) ++nans_;
    else if (std::isinf(x)) ++(x > 0 ? positiveInfinities_ : negativeInfinities_);
    else addFinite(x);
}

void ExactSum::remove(double x) {
    if (std::isnan(x)) --nans_;
    else if (std::isinf(x)) --(x > 0 ? positiveInfinities_ : negativeInfinities_);
    else addFinite(-x);
}

void ExactSum::add(const ExactSum& other) {
    for (double p : other.partials_) addFinite(p);
    positiveInfinities_ += other.positiveInfinities_;
    negativeInfinities_ += other.negativeInfinities_;
    nans_ += other.nans_;
}

double ExactSum::value() const {
    if (nans_ != 0 || (positiveInfinities_ != 0 && negativeInfinities_ != 0))
        return std::numeric_limits<double>::quiet_NaN();
    if (positiveInfinities_ != 0) return std::numeric_limits<double>::infinity();
    if (negativeInfinities_ != 0) return -std::numeric_limits<double>::infinity();
    // From the largest part down, until a rounding error shows; the error
    // and the next part decide a sum that lies half way between two doubles.
    size_t n = partials_.size();
    if (n == 0) return 0;
    double hi = partials_[--n], lo = 0;
    while (n > 0) {
        const double x = hi, y = partials_[--n];
        hi = x + y;
        lo = y - (hi - x);
        if (lo != 0) break;
    }
    if (n > 0 && ((lo < 0 && partials_[n - 1] < 0) || (lo > 0 && partials_[n - 1] > 0))) {
        const double y = lo * 2, x = hi + y;
        if (y == x - hi) hi = x;
    }
    return hi;
}

}  // namespace mk
