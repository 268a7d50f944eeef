// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/heard_part.h"

#include "scoring/compared_texts.h"
#include "synthesis/sound_timing.h"

#include <algorithm>

namespace vortan {

namespace {

int groupsIn(std::string_view compared)
{
    return compared.empty() ? 0
                            : 1 + static_cast<int>(std::count(compared.begin(), compared.end(),
                                                              kGroupSeparator));
}

} // namespace

HeardPart heardPart(std::string_view renderedText, std::size_t heardBytes)
{
    const std::string whole = comparedTexts(renderedText, {}).sent;
    // The heard text of a cut ending in a letter opens the heard text of the whole, lead-in
    // "vvv =" and all; the check leaves the lead-in out of both.
    const std::size_t leadIn = heardText(renderedText).size() - whole.size();
    HeardPart part;
    part.text = std::string(renderedText.substr(0, std::min(heardBytes, renderedText.size())));
    const std::string heard = heardText(part.text);
    const std::string_view checked = heard.size() > leadIn
                                         ? std::string_view(whole).substr(0, heard.size() - leadIn)
                                         : std::string_view();
    part.groupCount = groupsIn(whole);
    part.heardGroups = groupsIn(checked);
    part.lastGroupWhole =
        checked.size() == whole.size() || whole[checked.size()] == kGroupSeparator;
    if (part.heardGroups == 0)
        part.text.clear();
    return part;
}

HeardPart heardPart(const SentExercise& sent, std::int64_t heardSample)
{
    const std::optional<std::size_t> last = lastBegunCharacter(characterSounds(sent), heardSample);
    return heardPart(sent.text, last ? *last + 1 : 0);
}

} // namespace vortan
