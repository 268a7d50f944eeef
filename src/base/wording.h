// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace vortan {

// How a unit without Qt says things in the reader's language. Its texts are written as
//     wording.translate("vortan::Context", "English, %1")      or, counting,
//     wording.translate("vortan::Context", "%n English", nullptr, n)
// which lupdate reads as it reads Qt's translate() (context and text written out, so that it
// finds them), so they live in translations/*.ts with the windows' texts. The windows give Qt's
// translate (desktop/translated_wording.h), the command-line tools their table of the same
// translations, English tests englishWording().
class Wording {
public:
    using Lookup = std::function<std::string(const char* context, const char* sourceText,
                                             const char* disambiguation, int n)>;
    explicit Wording(Lookup lookup)
        : m_lookup(std::move(lookup))
    {
    }

    // As QCoreApplication::translate: `sourceText` in the reader's language (UTF-8); where n >= 0
    // the plural form for n, with %n replaced by n.
    std::string translate(const char* context, const char* sourceText,
                          const char* disambiguation = nullptr, int n = -1) const
    {
        return m_lookup(context, sourceText, disambiguation, n);
    }

private:
    Lookup m_lookup;
};

// The English source texts themselves.
const Wording& englishWording();

// `text` with %n replaced by n, as Qt's translate() does where n >= 0; unchanged for n < 0.
std::string withCount(std::string text, int n);

// `text` with %1, %2 ... %9 replaced by the arguments, in one pass (an argument holding "%2"
// stays as it is).
std::string withArguments(std::string_view text, std::initializer_list<std::string_view> arguments);

// A number of tenths as a decimal with one place, in the wording's language: "83.3", in Polish
// "83,3"; negative values are not expected.
std::string decimalTenths(const Wording& wording, long long tenths);

} // namespace vortan
