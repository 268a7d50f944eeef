// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>

namespace vortan {

namespace {

// The options QGuiApplication and QApplication take out of the command line themselves.
constexpr const char* qtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "qwindowicon",
    "qwindowtitle",
    "display",
    "geometry",
    "title",
    "name",
    "session",
    "style",
    "stylesheet",
    "qmljsdebugger",
};
constexpr const char* qtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

} // namespace

std::optional<CommandLineExit> answerCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vortan teaches you to receive Morse code by ear: it sends exercise texts "
                       "as Morse code\nat the speed, tone, noise and keying you set. The "
                       "settings are kept in\n~/.config/vortan/vortan.ini. See vortan(1)."));
    // Qt's options are spelled with one dash: -platform is not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const char* name : qtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : qtFlags) {
        QCommandLineOption option{QString::fromLatin1(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program = QStringLiteral("vortan");
    if (!parser.parse(arguments))
        return CommandLineExit{2,
                               {},
                               program + QStringLiteral(": ") + parser.errorText() +
                                   QStringLiteral("\nTry 'vortan --help'.\n")};
    if (parser.isSet(help))
        return CommandLineExit{0, parser.helpText(), {}};
    if (parser.isSet(QStringLiteral("help-all"))) {
        QString text = parser.helpText() + QStringLiteral("\nQt options:\n");
        for (const char* name : qtOptionsWithValue)
            text += QStringLiteral("  -") + QLatin1String(name) + QStringLiteral(" <value>\n");
        for (const char* name : qtFlags)
            text += QStringLiteral("  -") + QLatin1String(name) + QStringLiteral("\n");
        return CommandLineExit{0, text, {}};
    }
    if (parser.isSet(version))
        return CommandLineExit{0, program + QStringLiteral(" " VORTAN_VERSION "\n"), {}};
    if (!parser.positionalArguments().isEmpty())
        return CommandLineExit{2,
                               {},
                               program + QStringLiteral(": unexpected argument '") +
                                   parser.positionalArguments().constFirst() +
                                   QStringLiteral("'\nTry 'vortan --help'.\n")};
    return std::nullopt;
}

} // namespace vortan
