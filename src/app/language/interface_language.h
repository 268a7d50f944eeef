// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QTranslator>

namespace vortan {

// The language of every text beyond the specified captions, chosen by the desktop's locale:
// Polish for a Polish locale (LANG=pl_PL.UTF-8, or LANGUAGE=pl), English, the source texts, for
// any language without a translation. While it lives, the program's translation and Qt's own
// (standard buttons, the command-line parser) are installed in the running application; the
// application must exist first and outlive it.
class InterfaceLanguage {
public:
    explicit InterfaceLanguage(const QLocale& locale = QLocale::system());
    ~InterfaceLanguage();
    InterfaceLanguage(const InterfaceLanguage&) = delete;
    InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;

    // Whether the program's texts are translated (false: English).
    bool isTranslated() const { return m_programInstalled; }

private:
    QTranslator m_program;
    QTranslator m_qt;
    bool m_programInstalled = false;
    bool m_qtInstalled = false;
};

} // namespace vortan
