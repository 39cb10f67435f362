#pragma once

#include "Clock.h"

// A clock that says what the test tells it.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime time = QDateTime(QDate(2026, 4, 1), QTime(9, 0, 0)))
        : time(std::move(time)) {}
    QDateTime now() const override { return time; }
    QDateTime time;
};
