// SPDX-License-Identifier: GPL-3.0-or-later
#include "synthesis/sample_mixing.h"

#include <algorithm>
#include <array>

#if defined(__x86_64__) && defined(__SSE2__)
#define VORTAN_MIX_X86 1
#include <immintrin.h>
#endif

namespace vortan::sample_mixing {

namespace {

// One sample, as every path does it: 16-bit sums (the caller's ranges keep them from wrapping),
// an arithmetic shift, the high half of a 16 x 16-bit product.
template <bool Faded, bool Added> int mixScalar(const Inputs& in, std::uint8_t* out, int count)
{
    int held = 0;
    for (int j = 0; j < count; ++j) {
        int added = unit / 2;
        if constexpr (Added) {
            added += in.added[j];
            in.added[j] = 0;
        }
        if constexpr (Faded)
            added += (in.tone[j] * in.gain[j / gainRun]) >> 16;
        const int sum = in.base[j] + (added >> unitBits);
        held += static_cast<int>(sum < 0 || sum > 255);
        out[j] = static_cast<std::uint8_t>(std::clamp(sum, 0, 255));
    }
    return held;
}

// The inputs from sample j on, j a whole number of gain runs.
template <bool Faded, bool Added> Inputs from(const Inputs& in, int j)
{
    return {in.base + j, in.added + (Added ? j : 0), in.tone + (Faded ? j : 0),
            in.gain + (Faded ? j / gainRun : 0)};
}

// Lanes count the samples that stayed in range, two per lane and step at most: summed into an
// int before this many steps could overflow 16 bits.
constexpr int stepsPerCount = 8192;

#if VORTAN_MIX_X86

// The sum of a vector's 16-bit lanes, stored to `lanes` by the caller.
template <std::size_t Count> int laneSum(const std::array<std::int16_t, Count>& lanes)
{
    int sum = 0;
    for (const std::int16_t lane : lanes)
        sum += lane;
    return sum;
}

template <bool Faded, bool Added> int mixSse2(const Inputs& in, std::uint8_t* out, int count)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(unit / 2);
    auto load = [](const std::int16_t* from) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    };
    auto sumOf = [&](__m128i bytes, int j) {
        __m128i added = half;
        if constexpr (Added) {
            added = _mm_add_epi16(added, load(in.added + j));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(in.added + j), zero);
        }
        if constexpr (Faded)
            added = _mm_add_epi16(
                added, _mm_mulhi_epi16(load(in.tone + j), _mm_set1_epi16(in.gain[j / gainRun])));
        return _mm_add_epi16(bytes, _mm_srai_epi16(added, unitBits));
    };
    int held = 0;
    int j = 0;
    while (j + 16 <= count) {
        const int first = j;
        const int end = std::min(count, j + 16 * stepsPerCount);
        __m128i inRange = zero;
        for (; j + 16 <= end; j += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.base + j));
            const __m128i low = sumOf(_mm_unpacklo_epi8(bytes, zero), j);
            const __m128i high = sumOf(_mm_unpackhi_epi8(bytes, zero), j + 8);
            // In range exactly when nothing is left above the low byte (negative sums included).
            inRange = _mm_sub_epi16(inRange, _mm_cmpeq_epi16(_mm_srli_epi16(low, 8), zero));
            inRange = _mm_sub_epi16(inRange, _mm_cmpeq_epi16(_mm_srli_epi16(high, 8), zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_packus_epi16(low, high));
        }
        std::array<std::int16_t, 8> lanes{};
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes.data()), inRange);
        held += (j - first) - laneSum(lanes);
    }
    return held + mixScalar<Faded, Added>(from<Faded, Added>(in, j), out + j, count - j);
}

#define VORTAN_AVX2 __attribute__((target("avx2")))
// Helpers of the wide loop, inlined into it: a call would pass every vector through memory.
#define VORTAN_AVX2_STEP __attribute__((target("avx2"), always_inline)) inline

VORTAN_AVX2_STEP __m256i loadAvx2(const std::int16_t* from)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
}

template <bool Faded, bool Added> VORTAN_AVX2_STEP __m256i sumAvx2(const Inputs& in, int j)
{
    __m256i added = _mm256_set1_epi16(unit / 2);
    if constexpr (Added) {
        added = _mm256_add_epi16(added, loadAvx2(in.added + j));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(in.added + j), _mm256_setzero_si256());
    }
    if constexpr (Faded)
        added = _mm256_add_epi16(
            added, _mm256_mulhi_epi16(loadAvx2(in.tone + j),
                                      _mm256_set_m128i(_mm_set1_epi16(in.gain[j / gainRun + 1]),
                                                       _mm_set1_epi16(in.gain[j / gainRun]))));
    const __m256i bytes =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in.base + j)));
    return _mm256_add_epi16(bytes, _mm256_srai_epi16(added, unitBits));
}

template <bool Faded, bool Added>
VORTAN_AVX2 int mixAvx2(const Inputs& in, std::uint8_t* out, int count)
{
    const __m256i zero = _mm256_setzero_si256();
    int held = 0;
    int j = 0;
    while (j + 32 <= count) {
        const int first = j;
        const int end = std::min(count, j + 32 * stepsPerCount);
        __m256i inRange = zero;
        for (; j + 32 <= end; j += 32) {
            const __m256i low = sumAvx2<Faded, Added>(in, j);
            const __m256i high = sumAvx2<Faded, Added>(in, j + 16);
            inRange =
                _mm256_sub_epi16(inRange, _mm256_cmpeq_epi16(_mm256_srli_epi16(low, 8), zero));
            inRange =
                _mm256_sub_epi16(inRange, _mm256_cmpeq_epi16(_mm256_srli_epi16(high, 8), zero));
            // The pack works within each 128-bit half; put the quarters back in order.
            const __m256i packed =
                _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0b11011000);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), packed);
        }
        std::array<std::int16_t, 16> lanes{};
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes.data()), inRange);
        held += (j - first) - laneSum(lanes);
    }
    return held + mixSse2<Faded, Added>(from<Faded, Added>(in, j), out + j, count - j);
}

#endif

template <bool Faded, bool Added>
int mixBy(Path path, const Inputs& in, std::uint8_t* out, int count)
{
    switch (path) {
#if VORTAN_MIX_X86
    case Path::Avx2:
        return mixAvx2<Faded, Added>(in, out, count);
    case Path::Sse2:
        return mixSse2<Faded, Added>(in, out, count);
#endif
    default:
        return mixScalar<Faded, Added>(in, out, count);
    }
}

Path fastestPath()
{
    static const Path fastest = availablePaths().back();
    return fastest;
}

} // namespace

std::vector<Path> availablePaths()
{
    std::vector<Path> paths{Path::Scalar};
#if VORTAN_MIX_X86
    paths.push_back(Path::Sse2);
    if (__builtin_cpu_supports("avx2"))
        paths.push_back(Path::Avx2);
#endif
    return paths;
}

int mix(Path path, const Inputs& inputs, std::uint8_t* out, int count)
{
    const bool faded = inputs.tone != nullptr && inputs.gain != nullptr;
    const bool added = inputs.added != nullptr;
    if (faded)
        return added ? mixBy<true, true>(path, inputs, out, count)
                     : mixBy<true, false>(path, inputs, out, count);
    return added ? mixBy<false, true>(path, inputs, out, count)
                 : mixBy<false, false>(path, inputs, out, count);
}

int mix(const Inputs& inputs, std::uint8_t* out, int count)
{
    return mix(fastestPath(), inputs, out, count);
}

#if VORTAN_MIX_X86
__attribute__((target_clones("avx2", "default")))
#endif
void addSamples(std::int16_t* target, const std::int16_t* source, int count)
{
    for (int j = 0; j < count; ++j)
        target[j] = static_cast<std::int16_t>(target[j] + source[j]);
}

} // namespace vortan::sample_mixing
