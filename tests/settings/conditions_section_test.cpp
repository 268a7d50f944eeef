// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/errors.h"
#include "settings/conditions_section.h"
#include "settings/options_store.h"
#include "settings/profile_document.h"
#include "settings/settings_file.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

using namespace vortan;

TEST(ConditionsSection, KeysReadAsTheirConditionsAndOddOnesAsOff)
{
    BandConditions expected;
    expected.qsbRate = 0.25;
    expected.qsbDepthDb = 12;
    expected.qrm = {{.offsetHz = -300, .levelDb = -6, .speed = 0},
                    {.offsetHz = 450, .levelDb = 3, .speed = 120}};
    expected.qrnRate = 2.5;
    expected.qrnLevelDb = -3;
    expected.chirpHz = 80;
    expected.chirpMs = 40;
    const ProfileDocument document(
        "[conditions]\nqsb=0.25:12\nqrm1=-300:-6\nqrm2=\nqrm3=450:3:120\n"
        "qrn=2.5:-3\nchirp=80:40\n");
    EXPECT_EQ(conditionsFrom(document), expected);

    // Each odd text leaves only its own condition off.
    const std::pair<std::string_view, BandConditions> odd[] = {
        {"qsb=3:12",
         [&] {
             auto c = expected;
             c.qsbRate = 0, c.qsbDepthDb = 0;
             return c;
         }()},
        {"qsb=0.01:12",
         [&] {
             auto c = expected;
             c.qsbRate = 0, c.qsbDepthDb = 0;
             return c;
         }()},
        {"qrn=2.5",
         [&] {
             auto c = expected;
             c.qrnRate = 0, c.qrnLevelDb = 0;
             return c;
         }()},
        {"chirp=80:x",
         [&] {
             auto c = expected;
             c.chirpHz = 0, c.chirpMs = 30;
             return c;
         }()},
        {"qrm1=-300:-60",
         [&] {
             auto c = expected;
             c.qrm.erase(c.qrm.begin());
             return c;
         }()},
    };
    for (const auto& [line, conditions] : odd) {
        std::string text = document.bytes();
        const std::string key(line.substr(0, line.find('=') + 1));
        const auto at = text.find(key);
        text.replace(at, text.find('\n', at) - at, line);
        EXPECT_EQ(conditionsFrom(ProfileDocument(text)), conditions) << line;
    }
}

TEST(ConditionsSection, OffWritesNothingAndKeysOnceWrittenStayUpToDate)
{
    test::ScratchFolder folder;
    const auto file = folder / "vortan.ini";
    Presets presets;
    presets.fill(defaultPreset());
    OptionsStore options;
    Zapisz1Click(file, presets, Presets{}, options);
    const auto plain = test::readBytes(file);
    Zapisz1Click(folder / "program.ini", presets, Presets{}, OptionsStore{});
    EXPECT_EQ(plain, test::readBytes(folder / "program.ini")); // as the program writes it

    options.setConditions(namedConditions()[2].conditions); // two stations
    Zapisz1Click(file, presets, Presets{}, options);
    OptionsStore readBack;
    Odczytaj1Click(file, presets, readBack);
    EXPECT_EQ(readBack.conditions(), namedConditions()[2].conditions);

    options.setConditions({});
    Zapisz1Click(file, presets, Presets{}, options);
    const auto bytes = test::readBytes(file);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("[conditions]\r\nqsb=0:0\r\nqrm1=\r\nqrm2=\r\n"), text.npos) << text;
    Odczytaj1Click(file, presets, readBack);
    EXPECT_EQ(readBack.conditions(), BandConditions());

    // Values outside their ranges are refused and change nothing.
    BandConditions tooMany;
    tooMany.qrm.resize(4);
    BandConditions tooDeep;
    tooDeep.qsbRate = 1;
    tooDeep.qsbDepthDb = 31;
    for (const BandConditions& wrong : {tooMany, tooDeep}) {
        EXPECT_THROW(options.setConditions(wrong), Error);
        EXPECT_EQ(options.conditions(), BandConditions());
    }
    for (const NamedConditions& named : namedConditions())
        EXPECT_NO_THROW(checkConditions(named.conditions)) << named.name;
    EXPECT_FALSE(namedConditions().front().conditions.any());
}
