#pragma once

// A second, deliberately plain rendering of a pattern string, sample by sample, used to check
// the library's buffered one for the exact bytes (noise and jitter included).

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vortan::test {

struct ReferenceSettings {
    int speed = 60;
    int spaces = 0;
    int tone = 600;
    int noise = 0;
    int straight = 0;
    std::uint32_t seed = 0;       // generator state when the rendering starts
    std::uint32_t keyingSeed = 0; // what the clock says when keying starts
};

inline int roundHalfEven(double x)
{
    const double down = std::floor(x);
    const double fraction = x - down;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0))
        return static_cast<int>(down) + 1;
    return static_cast<int>(down);
}

inline std::vector<std::uint8_t> referenceWav(std::string_view pattern, const ReferenceSettings& s)
{
    std::uint64_t state = s.seed;
    auto below = [&state](std::uint64_t n) {
        state = (state * 134775813u + 1u) % 0x100000000u;
        return static_cast<int>((state * n) >> 32);
    };
    auto real = [&state] {
        state = (state * 134775813u + 1u) % 0x100000000u;
        return static_cast<double>(state) / 0x100000000u;
    };
    const int n = s.noise % 256;
    const int half = n / 2;
    const int dot = roundHalfEven(48700.0 / s.speed);
    const int dash = 3 * dot;
    const int period = roundHalfEven(11025.0 / s.tone);

    std::vector<int> noise(50000);
    for (int& sample : noise)
        sample = 128 + below(n) - half;
    std::vector<int> sine(period);
    for (int k = 0; k < period; ++k)
        sine[k] = roundHalfEven(100 * std::sin(2 * M_PI * (k + 1) / period)) + 128;
    std::vector<int> tone(2 * dash + 1);
    for (int i = 0; i <= 2 * dash; ++i)
        tone[i] = below(n) + sine[i % period] - half;

    std::vector<std::uint8_t> samples;
    auto toneFor = [&](int length) {
        for (int t = 1; t <= length; ++t)
            samples.push_back(static_cast<std::uint8_t>(tone[t]));
    };
    auto gapFor = [&](int length) {
        for (int t = 0; t < length; ++t)
            samples.push_back(static_cast<std::uint8_t>(noise[t]));
    };
    state = s.keyingSeed;
    const int centring = roundHalfEven(dot * (s.straight * 0.01) * 0.5);
    for (const char symbol : pattern) {
        if (symbol == ' ') {
            gapFor((s.spaces + 3) * dot);
        } else if (symbol == '.') {
            const int j = roundHalfEven(real() * dot * (s.straight * 0.01)) - centring;
            toneFor(dot + j);
            gapFor(dot - j);
        } else if (symbol == '-') {
            const int j = roundHalfEven(real() * dot * (s.straight * 0.005)) - centring;
            toneFor(dash + j);
            gapFor(dot - j);
        }
    }

    const auto size = static_cast<std::uint32_t>(samples.size());
    std::vector<std::uint8_t> file;
    auto text = [&file](const char* four) { file.insert(file.end(), four, four + 4); };
    auto number = [&file](std::uint32_t value, int bytes) {
        for (int b = 0; b < bytes; ++b)
            file.push_back(static_cast<std::uint8_t>(value >> (8 * b)));
    };
    text("RIFF");
    number(size + 36, 4);
    text("WAVE");
    text("fmt ");
    number(16, 4);
    number(1, 2);
    number(1, 2);
    number(11025, 4);
    number(11025, 4);
    number(1, 2);
    number(8, 2);
    text("data");
    number(size, 4);
    file.insert(file.end(), samples.begin(), samples.end());
    return file;
}

} // namespace vortan::test
