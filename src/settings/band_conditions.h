// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Band conditions: what a real band does to a signal, in units a radio amateur can compare with
// one. Each is off by default and then leaves every byte of a rendering as it was. The same
// textual form, "RATE:DEPTH" and the like, serves the renderer's options and the settings file's
// section [conditions].

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vortan {

// One other station calling beside the wanted one.
struct QrmStation {
    int offsetHz = 0; // from the wanted tone, -600 to +600
    int levelDb = 0;  // keyed amplitude relative to the wanted signal's, -30 to +10
    int speed = 0;    // characters per minute, 40 to 250; 0: one of its own, drawn from the seeds

    bool operator==(const QrmStation&) const = default;
};

struct BandConditions {
    // QSB: the wanted signal fades. Depth is the difference between the 95th and the 5th
    // percentile of its keyed envelope in dB; rate the downward crossings of that envelope
    // through the percentiles' midpoint per second. Off while either is 0.
    double qsbRate = 0; // fades per second, 0.05 to 2
    int qsbDepthDb = 0; // 0 to 30
    // QRM: up to three other stations.
    std::vector<QrmStation> qrm;
    // QRN: static crashes, each shorter than 50 ms. Off at rate 0.
    double qrnRate = 0; // crashes per second, 0 to 5
    int qrnLevelDb = 0; // a crash's peak relative to the wanted signal's keyed amplitude
    // Chirp: at each key-down the tone starts chirpHz off and settles within chirpMs.
    int chirpHz = 0; // -100 to 100; 0 is off
    int chirpMs = 30;

    bool qsbOn() const { return qsbRate > 0 && qsbDepthDb > 0; }
    bool qrnOn() const { return qrnRate > 0; }
    bool chirpOn() const { return chirpHz != 0; }
    // Whether any condition changes the rendering.
    bool any() const { return qsbOn() || !qrm.empty() || qrnOn() || chirpOn(); }

    bool operator==(const BandConditions&) const = default;
};

inline constexpr double kQsbMinRate = 0.05;
inline constexpr double kQsbMaxRate = 2;
inline constexpr int kQsbMaxDepthDb = 30;
inline constexpr int kQrmMaxStations = 3;
inline constexpr int kQrmMaxOffsetHz = 600;
inline constexpr int kQrmMinLevelDb = -30;
inline constexpr int kQrmMaxLevelDb = 10;
inline constexpr double kQrnMaxRate = 5;
inline constexpr int kQrnMinLevelDb = -30;
inline constexpr int kQrnMaxLevelDb = 20;
inline constexpr int kChirpMaxHz = 100;
inline constexpr int kChirpMinMs = 1;
inline constexpr int kChirpMaxMs = 500;

// The conditions' texts, as the renderer takes them and the settings file keeps them:
// qsb "RATE:DEPTH", qrm "OFFSET:LEVEL[:SPEED]", qrn "RATE:LEVEL", chirp "HZ[:MS]". The parsers
// throw vortan::Error naming what is wrong with the text; the ranges are those above.
struct QsbText {
    double rate;
    int depthDb;
};
QsbText parseQsb(std::string_view text);
QrmStation parseQrm(std::string_view text);
struct QrnText {
    double rate;
    int levelDb;
};
QrnText parseQrn(std::string_view text);
struct ChirpText {
    int hz;
    int ms;
};
ChirpText parseChirp(std::string_view text);

// Parse a condition's text and set it in `conditions`; throw as the parsers do.
void setQsb(BandConditions& conditions, std::string_view text);
void setQrn(BandConditions& conditions, std::string_view text);
void setChirp(BandConditions& conditions, std::string_view text);

std::string qsbText(const BandConditions& conditions);
std::string qrmText(const QrmStation& station);
std::string qrnText(const BandConditions& conditions);
std::string chirpText(const BandConditions& conditions);

// Throws vortan::Error for a value outside its range or more than three stations.
void checkConditions(const BandConditions& conditions);

// One line per condition in use ("qsb=0.2:10", "qrm=250:-6:90", ...); empty when none is.
std::string conditionsListing(const BandConditions& conditions);

// A short text naming the conditions in use, "qsb 0.2:10, qrm 250:-6" and so on; empty for none.
std::string conditionsSummary(const BandConditions& conditions);
// The conditions a summary names: they render as the summarised ones did. Throws vortan::Error
// for a text that conditionsSummary() does not make.
BandConditions conditionsFromSummary(std::string_view summary);

// Starting points a learner can pick by name, the first being all off.
struct NamedConditions {
    std::string_view name;
    BandConditions conditions;
};
const std::vector<NamedConditions>& namedConditions();

} // namespace vortan
