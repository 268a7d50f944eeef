#include "app/settings_model.h"

#include <gtest/gtest.h>

namespace vortan {
namespace {

TEST(TransmissionTempo, RoundsToNearestWithHalvesToEven)
{
    // Speed, spaces, tempo. Exact halves occur only at spaces 8 with an odd speed.
    const int cases[][3] = {{60, 0, 60},    {60, 1, 53}, {60, 5, 37}, {40, 10, 18},
                            {250, 10, 111}, {61, 8, 30}, {63, 8, 32}, {65, 8, 32}};
    for (const auto& [speed, spaces, tempo] : cases)
        EXPECT_EQ(transmissionTempo(speed, spaces), tempo) << speed << " " << spaces;
}

} // namespace
} // namespace vortan
