// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exercise_text.h"

#include "synthesis/random_generator.h"

namespace vortan {

namespace {

bool endsWithLineBreak(std::string_view text)
{
    return text.size() >= 2 && text.substr(text.size() - 2) == kLineBreak;
}

} // namespace

std::string appendedPart(std::string_view text, std::string_view line)
{
    std::string part;
    part.reserve(line.size() + kLineBreak.size());
    if (text.empty() || endsWithLineBreak(text)) {
        part.append(line).append(kLineBreak);
    } else {
        part.append(kLineBreak).append(line);
    }
    return part;
}

std::string appendLine(std::string_view text, std::string_view line)
{
    std::string result(text);
    result += appendedPart(text, line);
    return result;
}

std::optional<std::string> randomLine(std::string_view characterSet, RandomGenerator& generator)
{
    if (characterSet.size() < 2) {
        return std::nullopt;
    }
    // Sets longer than 2^32 bytes cannot come from the text box; the count stays exact below it.
    const auto count = static_cast<std::uint32_t>(characterSet.size());
    std::string line;
    line.reserve(kGroupsPerRandomLine * (kCharactersPerGroup + 1));
    for (int group = 0; group < kGroupsPerRandomLine; ++group) {
        for (int i = 0; i < kCharactersPerGroup; ++i) {
            line += characterSet[generator.nextBelow(count)];
        }
        line += ' ';
    }
    return line;
}

std::vector<PrintedLinePosition> printedLinePositions(std::size_t lineCount, int lineHeight,
                                                      int pageHeight)
{
    std::vector<PrintedLinePosition> positions;
    positions.reserve(lineCount);
    int page = 0;
    int y = kPrintTop;
    for (std::size_t i = 0; i < lineCount; ++i) {
        const bool pageHasLines = y != kPrintTop;
        if (pageHasLines && y + lineHeight > pageHeight) {
            ++page;
            y = kPrintTop;
        }
        positions.push_back({page, kPrintLeft, y});
        y += lineHeight;
    }
    return positions;
}

} // namespace vortan
