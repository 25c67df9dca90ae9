// What a window shows, numbered by change: every window, control and menu
// item keeps the number of its last change, so the front end redraws
// after an input only what changed since it last drew. The numbers come
// from one counter and only grow.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

namespace mk {

// Something the front end draws.
class Drawn {
public:
    // The number of its last change; 0 before the first.
    uint64_t changedAt() const { return changedAt_; }
    // The number of the last change anywhere: a look taken now has seen
    // every change numbered up to this.
    static uint64_t lastChange() { return counter_; }
    // Counts a change of what it shows; `layout` when the change may move
    // what stands where on its window (a place, a showing, what names a
    // box), which the front end then works out again for every control.
    virtual void changed(bool layout) = 0;

protected:
    Drawn() = default;
    ~Drawn() = default;
    static uint64_t next() { return ++counter_; }

    uint64_t changedAt_ = 0;

private:
    inline static uint64_t counter_ = 0;
};

// A property the front end draws: read as its value, and an assignment
// of another value counts a change of its owner. `kLayout` properties
// (places, showing) count as layout changes.
template <class T, bool kLayout = false>
class Shown {
public:
    explicit Shown(Drawn* owner, T value = T()) : owner_(owner), value_(std::move(value)) {}
    Shown(const Shown&) = delete;
    Shown& operator=(const Shown& other) { return *this = T(other.value_); }
    Shown& operator=(T value) {
        if (!(value == value_)) {
            value_ = std::move(value);
            owner_->changed(kLayout);
        }
        return *this;
    }
    template <class U>
    Shown& operator+=(const U& u) {
        return *this = static_cast<T>(value_ + u);
    }
    template <class U>
    Shown& operator-=(const U& u) {
        return *this = static_cast<T>(value_ - u);
    }

    operator const T&() const { return value_; }
    const T& get() const { return value_; }
    auto operator->() const {
        if constexpr (std::is_pointer_v<T>) return value_;
        else return &value_;
    }
    template <class I>
    decltype(auto) operator[](const I& i) const {
        return value_[i];
    }
    // The value changed in place (an item added to a list): a change.
    T& edit() {
        owner_->changed(kLayout);
        return value_;
    }

    bool operator==(const T& other) const { return value_ == other; }
    bool operator==(const Shown& other) const { return value_ == other.value_; }

private:
    Drawn* owner_;
    T value_;
};

// A property that places something on its window.
template <class T>
using Placed = Shown<T, true>;

}  // namespace mk
