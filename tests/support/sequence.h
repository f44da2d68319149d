#pragma once

#include "losowanie.h"

#include <deque>
#include <memory>

// A random source for tests: hands out the given numbers in order.
inline losowanie::Zrodlo sequence(std::deque<double> values)
{
    return [queue = std::make_shared<std::deque<double>>(std::move(values))] {
        const double r = queue->front();
        queue->pop_front();
        return r;
    };
}
