#include "platform/graphics/Geometry.h"

#include <cstdint>

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    const std::int64_t product = std::int64_t(number) * numerator;
    std::int64_t q = product / denominator;
    const std::int64_t rem = product % denominator;
    // Round half away from zero.
    if (rem != 0) {
        const std::int64_t twice = 2 * (rem < 0 ? -rem : rem);
        const std::int64_t den = denominator < 0 ? -std::int64_t(denominator) : denominator;
        if (twice >= den) q += ((product < 0) != (denominator < 0)) ? -1 : 1;
    }
    if (q > INT32_MAX || q < INT32_MIN) return -1;
    return int(q);
}
