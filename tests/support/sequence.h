#pragma once

#include "losowanie.h"

#include <deque>
#include <memory>

// A random source for tests: hands out the given numbers in order.
inline losowanie::Zrodlo sequence(std::deque<double> values)
{
    auto queue = std::make_shared<std::deque<double>>(std::move(values));
    return [queue] {
        const double r = queue->front();
        queue->pop_front();
        return r;
    };
}
