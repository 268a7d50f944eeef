#include "app/settings_model.h"

#include <gtest/gtest.h>

namespace vortan {
namespace {

struct TempoCase {
    int speed;
    int spaces;
    int tempo;
};

TEST(TransmissionTempo, RoundsToNearestWithHalvesToEven)
{
    const TempoCase cases[] = {
        {60, 0, 60},  {60, 1, 53},    {60, 2, 48},   {60, 5, 37}, {60, 10, 27},
        {40, 10, 18}, {250, 10, 111}, {61, 8, 30},   {63, 8, 32}, {65, 8, 32},
        {67, 8, 34},  {249, 8, 124},  {250, 0, 250}, {41, 8, 20}, {43, 8, 22},
    };
    for (const TempoCase& c : cases)
        EXPECT_EQ(transmissionTempo(c.speed, c.spaces), c.tempo)
            << "speed " << c.speed << ", spaces " << c.spaces;
}

TEST(SettingsModel, SelectsOnlyPresetsOneToThree)
{
    SettingsModel model;
    EXPECT_EQ(model.currentPresetNumber(), 0);
    model.presets()[1].speed = 120;
    model.selectPreset(2);
    EXPECT_EQ(model.current().speed, 120);
    for (const int wrong : {0, 4, -1}) {
        model.selectPreset(wrong);
        EXPECT_EQ(model.currentPresetNumber(), 2) << wrong;
    }
}

} // namespace
} // namespace vortan
