// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/band_conditions.h"

#include "base/errors.h"

#include <charconv>
#include <cmath>

namespace vortan {

namespace {

// The text's fields between colons; at least `least` and at most `most` of them.
std::vector<std::string_view> fields(std::string_view text, std::size_t least, std::size_t most,
                                     std::string_view form)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon == text.npos ? text.npos : colon - start));
        if (colon == text.npos)
            break;
        start = colon + 1;
    }
    if (parts.size() < least || parts.size() > most)
        throw Error("\"" + std::string(text) + "\" is not of the form " + std::string(form));
    return parts;
}

std::string shownNumber(double x)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, x).ptr;
    return std::string(buffer, end);
}

std::string rangeText(double low, double high)
{
    return shownNumber(low) + " and " + shownNumber(high);
}

template <typename Number>
Number number(std::string_view field, std::string_view what, Number low, Number high)
{
    Number value{};
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size() ||
        !std::isfinite(static_cast<double>(value)))
        throw Error("The " + std::string(what) + " needs a number, not \"" + std::string(field) +
                    "\"");
    if (value < low || value > high)
        throw outOfRange("The " + std::string(what), shownNumber(static_cast<double>(low)),
                         shownNumber(static_cast<double>(high)), field);
    return value;
}

} // namespace

QsbText parseQsb(std::string_view text)
{
    const auto parts = fields(text, 2, 2, "RATE:DEPTH");
    // A rate of 0 is no fading, as the Options window's "Off" is.
    const double rate = number(parts[0], "fading rate (fades per second)", 0.0, kQsbMaxRate);
    if (rate != 0 && rate < kQsbMinRate)
        throw Error("The fading rate (fades per second) must be 0 or lie between " +
                    rangeText(kQsbMinRate, kQsbMaxRate) + ", not " + std::string(parts[0]));
    return {rate, number(parts[1], "fading depth (dB)", 0, kQsbMaxDepthDb)};
}

QrmStation parseQrm(std::string_view text)
{
    const auto parts = fields(text, 2, 3, "OFFSET:LEVEL[:SPEED]");
    QrmStation station;
    station.offsetHz = number(parts[0], "station's offset (Hz)", -kQrmMaxOffsetHz, kQrmMaxOffsetHz);
    station.levelDb = number(parts[1], "station's level (dB)", kQrmMinLevelDb, kQrmMaxLevelDb);
    if (parts.size() == 3)
        station.speed = number(parts[2], "station's speed (characters per minute)", 40, 250);
    return station;
}

QrnText parseQrn(std::string_view text)
{
    const auto parts = fields(text, 2, 2, "RATE:LEVEL");
    return {number(parts[0], "static rate (crashes per second)", 0.0, kQrnMaxRate),
            number(parts[1], "static level (dB)", kQrnMinLevelDb, kQrnMaxLevelDb)};
}

ChirpText parseChirp(std::string_view text)
{
    const auto parts = fields(text, 1, 2, "HZ[:MS]");
    ChirpText chirp{number(parts[0], "chirp (Hz)", -kChirpMaxHz, kChirpMaxHz),
                    BandConditions().chirpMs};
    if (parts.size() == 2)
        chirp.ms = number(parts[1], "chirp's settling time (ms)", kChirpMinMs, kChirpMaxMs);
    return chirp;
}

void setQsb(BandConditions& conditions, std::string_view text)
{
    const QsbText qsb = parseQsb(text);
    conditions.qsbRate = qsb.rate;
    conditions.qsbDepthDb = qsb.depthDb;
}

void setQrn(BandConditions& conditions, std::string_view text)
{
    const QrnText qrn = parseQrn(text);
    conditions.qrnRate = qrn.rate;
    conditions.qrnLevelDb = qrn.levelDb;
}

void setChirp(BandConditions& conditions, std::string_view text)
{
    const ChirpText chirp = parseChirp(text);
    conditions.chirpHz = chirp.hz;
    conditions.chirpMs = chirp.ms;
}

std::string qsbText(const BandConditions& conditions)
{
    return shownNumber(conditions.qsbRate) + ":" + std::to_string(conditions.qsbDepthDb);
}

std::string qrmText(const QrmStation& station)
{
    return std::to_string(station.offsetHz) + ":" + std::to_string(station.levelDb) +
           (station.speed > 0 ? ":" + std::to_string(station.speed) : "");
}

std::string qrnText(const BandConditions& conditions)
{
    return shownNumber(conditions.qrnRate) + ":" + std::to_string(conditions.qrnLevelDb);
}

std::string chirpText(const BandConditions& conditions)
{
    return std::to_string(conditions.chirpHz) + ":" + std::to_string(conditions.chirpMs);
}

void checkConditions(const BandConditions& conditions)
{
    // The texts carry the ranges; a value is checked by reading its own text back.
    parseQsb(qsbText(conditions));
    if (conditions.qrm.size() > kQrmMaxStations)
        throw Error("At most three other stations, not " + std::to_string(conditions.qrm.size()));
    for (const QrmStation& station : conditions.qrm)
        parseQrm(qrmText(station));
    parseQrn(qrnText(conditions));
    parseChirp(chirpText(conditions));
}

namespace {

template <typename Line> void eachCondition(const BandConditions& conditions, const Line& line)
{
    if (conditions.qsbOn())
        line("qsb", qsbText(conditions));
    for (const QrmStation& station : conditions.qrm)
        line("qrm", qrmText(station));
    if (conditions.qrnOn())
        line("qrn", qrnText(conditions));
    if (conditions.chirpOn())
        line("chirp", chirpText(conditions));
}

} // namespace

std::string conditionsListing(const BandConditions& conditions)
{
    std::string listing;
    eachCondition(conditions, [&listing](std::string_view name, const std::string& value) {
        listing += std::string(name) + "=" + value + "\n";
    });
    return listing;
}

std::string conditionsSummary(const BandConditions& conditions)
{
    std::string summary;
    eachCondition(conditions, [&summary](std::string_view name, const std::string& value) {
        summary += (summary.empty() ? "" : ", ") + std::string(name) + " " + value;
    });
    return summary;
}

BandConditions conditionsFromSummary(std::string_view summary)
{
    BandConditions conditions;
    constexpr std::string_view separator = ", ";
    while (!summary.empty()) {
        const std::size_t end = summary.find(separator);
        const std::string_view item = summary.substr(0, end);
        summary = end == summary.npos ? std::string_view() : summary.substr(end + separator.size());
        const std::size_t space = item.find(' ');
        const std::string_view name = item.substr(0, space);
        const std::string_view text =
            space == item.npos ? std::string_view() : item.substr(space + 1);
        if (name == "qsb") {
            setQsb(conditions, text);
        } else if (name == "qrm") {
            conditions.qrm.push_back(parseQrm(text));
        } else if (name == "qrn") {
            setQrn(conditions, text);
        } else if (name == "chirp") {
            setChirp(conditions, text);
        } else {
            throw Error("\"" + std::string(item) + "\" names no band condition");
        }
    }
    checkConditions(conditions); // no more stations than a rendering takes
    return conditions;
}

const std::vector<NamedConditions>& namedConditions()
{
    static const std::vector<NamedConditions> named = [] {
        BandConditions gentle;
        gentle.qsbRate = 0.1;
        gentle.qsbDepthDb = 10;
        BandConditions busy;
        busy.qsbRate = 0.2;
        busy.qsbDepthDb = 6;
        busy.qrm = {{.offsetHz = 250, .levelDb = -6, .speed = 0},
                    {.offsetHz = -400, .levelDb = -12, .speed = 0}};
        BandConditions summer;
        summer.qsbRate = 0.15;
        summer.qsbDepthDb = 8;
        summer.qrnRate = 2;
        summer.qrnLevelDb = 0;
        return std::vector<NamedConditions>{{"Quiet", {}},
                                            {"Gentle fading", gentle},
                                            {"Busy band", busy},
                                            {"Summer static", summer}};
    }();
    return named;
}

} // namespace vortan
