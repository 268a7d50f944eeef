// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/language/interface_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace vortan {

InterfaceLanguage::InterfaceLanguage(const QLocale& locale)
{
    // The translations are built into the program (":/i18n/vortan_pl.qm"), so that a copy
    // run from the build folder speaks as the installed one does.
    if (m_program.load(locale, QStringLiteral("vortan"), QStringLiteral("_"),
                       QStringLiteral(":/i18n")))
        m_programInstalled = QCoreApplication::installTranslator(&m_program);
    // Qt's own texts in the same language, where the system has them (qt6-translations-l10n):
    // without them a Polish window would still offer "Cancel".
    if (m_programInstalled && m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        m_qtInstalled = QCoreApplication::installTranslator(&m_qt);
}

InterfaceLanguage::~InterfaceLanguage()
{
    if (m_qtInstalled)
        QCoreApplication::removeTranslator(&m_qt);
    if (m_programInstalled)
        QCoreApplication::removeTranslator(&m_program);
}

} // namespace vortan
