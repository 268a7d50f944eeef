// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/keying.h"

#include "synthesis/random_generator.h"

#include <cmath>

namespace vortan {

int nearest(double x)
{
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int>(std::nearbyint(x));
}

int dotLength(int speed)
{
    return nearest(48700.0 / speed);
}

int keysymbol(char symbol, int dotlen, int dashlen, int spaces, int straight,
              RandomGenerator& random, std::array<Segment, 2>& segments)
{
    // The products are formed in double in exactly this order, so that results landing on a
    // half round the same way in every implementation.
    switch (symbol) {
    case ' ':
        segments[0] = {SegmentKind::Gap, (spaces + 3) * dotlen};
        return 1;
    case '.': {
        const double r = random.nextReal();
        const int jitter =
            nearest(r * dotlen * (straight * 0.01)) - nearest(dotlen * (straight * 0.01) * 0.5);
        segments[0] = {SegmentKind::Tone, dotlen + jitter};
        segments[1] = {SegmentKind::Gap, dotlen - jitter};
        return 2;
    }
    case '-': {
        const double r = random.nextReal();
        // Half the dot's random width with the dot's centring: dashes only ever get shorter.
        const int jitter =
            nearest(r * dotlen * (straight * 0.005)) - nearest(dotlen * (straight * 0.01) * 0.5);
        segments[0] = {SegmentKind::Tone, dashlen + jitter};
        segments[1] = {SegmentKind::Gap, dotlen - jitter};
        return 2;
    }
    default:
        return 0;
    }
}

std::int64_t trsize(std::string_view pattern, int dotlen, int dashlen, int spaces)
{
    std::int64_t dots = 0;
    std::int64_t dashes = 0;
    std::int64_t gaps = 0;
    for (const char symbol : pattern) {
        dots += symbol == '.';
        dashes += symbol == '-';
        gaps += symbol == ' ';
    }
    return dots * (2 * std::int64_t{dotlen}) + dashes * (std::int64_t{dashlen} + dotlen) +
           gaps * ((std::int64_t{spaces} + 3) * dotlen);
}

} // namespace vortan
