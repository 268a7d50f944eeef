// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Records what the model tells its listeners, one line a signal.
struct Listener {
    explicit Listener(SettingsModel& model)
    {
        QObject::connect(&model, &SettingsModel::settingChanged, &context,
                         [this](IntegerSettingId id, std::int32_t value) {
                             heard.push_back("setting " + std::to_string(int(id)) + "=" +
                                             std::to_string(value));
                         });
        QObject::connect(&model, &SettingsModel::charsChanged, &context,
                         [this] { heard.push_back("chars"); });
        QObject::connect(&model, &SettingsModel::presetChanged, &context, [this](int number) {
            heard.push_back("preset " + std::to_string(number));
        });
    }
    QObject context;
    std::vector<std::string> heard;
};

TEST(SettingsModel, TellsEveryChangeOnceAndOnlyChanges)
{
    SettingsModel model;
    Listener listener(model);
    model.selectPreset(2);
    model.selectPreset(2); // applied anew: the window sets the modified mark
    model.selectPreset(4); // no such preset
    model.setInteger(IntegerSettingId::Tone, 3000); // kept as given, outside the range
    model.setInteger(IntegerSettingId::Tone, 3000);
    model.setChars("abs");
    model.setChars("abs");
    EXPECT_EQ(listener.heard,
              (std::vector<std::string>{"preset 2", "preset 2", "setting 2=3000", "chars"}));
    EXPECT_EQ(model.presets()[1].tone, 3000);
    EXPECT_EQ(model.presets()[1].chars, "abs");
    EXPECT_EQ(model.presets()[0], SettingsPreset{}); // only the current preset is written
}

TEST(SettingsModel, TakesASliderPositionUnlessTheSliderShowsTheStoredNumber)
{
    // Stored speed, slider position, speed afterwards; the slider's range is 40 to 250.
    const int cases[][3] = {{60, 61, 61},    {60, 60, 60}, {300, 250, 300},
                            {300, 249, 249}, {10, 40, 10}, {10, 41, 41}};
    for (const auto& [stored, position, kept] : cases) {
        SettingsModel model;
        model.setInteger(IntegerSettingId::Speed, stored);
        model.setSliderPosition(IntegerSettingId::Speed, position);
        EXPECT_EQ(model.current().speed, kept) << stored << " " << position;
    }
}

} // namespace
} // namespace vortan
