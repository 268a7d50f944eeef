// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "files/xdg_paths.h"
#include "settings/settings_file.h"

#include <QCommandLineParser>
#include <QCoreApplication>

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

QString translated(const char* text)
{
    return QCoreApplication::translate("vortan::CommandLine", text);
}

// The settings file as the user would type it: under the home folder it starts with "~".
QString shownSettingsFile()
{
    const std::filesystem::path file = defaultSettingsFile();
    const std::filesystem::path home = xdg::homeFolder();
    if (!home.empty()) {
        const std::filesystem::path inHome = file.lexically_relative(home);
        if (!inHome.empty() && *inHome.begin() != "..")
            return QStringLiteral("~/") + QString::fromStdString(inHome.string());
    }
    return QString::fromStdString(file.string());
}

} // namespace

std::optional<CommandLineExit> answerCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        translated(QT_TRANSLATE_NOOP("vortan::CommandLine",
                                     "Vortan teaches you to receive Morse code by ear: it sends "
                                     "exercise texts as Morse code\nat the speed, tone, noise "
                                     "and keying you set. The settings are kept in\n"
                                     "%1. See vortan(1)."))
            .arg(shownSettingsFile()));
    // Qt's options are spelled with one dash: -platform is not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Qt's own help and version options, described in the program's language (Qt's Polish
    // lacks their descriptions).
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")},
        translated(QT_TRANSLATE_NOOP("vortan::CommandLine", "Show this help and exit.")));
    const QCommandLineOption helpAll(
        QStringLiteral("help-all"),
        translated(QT_TRANSLATE_NOOP("vortan::CommandLine",
                                     "Show this help with the Qt options and exit.")));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        translated(QT_TRANSLATE_NOOP("vortan::CommandLine", "Show the version and exit.")));
    parser.addOptions({help, helpAll, version});
    for (const char* name : qtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(),
                                  translated(QT_TRANSLATE_NOOP("vortan::CommandLine", "value")));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : qtFlags) {
        QCommandLineOption option{QString::fromLatin1(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program = QStringLiteral("vortan");
    const QString tryHelp =
        translated(QT_TRANSLATE_NOOP("vortan::CommandLine", "Try 'vortan --help'."));
    if (!parser.parse(arguments))
        return CommandLineExit{
            2, {}, program + QStringLiteral(": ") + parser.errorText() + u'\n' + tryHelp + u'\n'};
    if (parser.isSet(help))
        return CommandLineExit{0, parser.helpText(), {}};
    if (parser.isSet(helpAll)) {
        QString text = parser.helpText() + u'\n' +
                       translated(QT_TRANSLATE_NOOP("vortan::CommandLine", "Qt options:")) + u'\n';
        for (const char* name : qtOptionsWithValue)
            text += QStringLiteral("  -") + QLatin1String(name) + QStringLiteral(" <") +
                    translated(QT_TRANSLATE_NOOP("vortan::CommandLine", "value")) +
                    QStringLiteral(">\n");
        for (const char* name : qtFlags)
            text += QStringLiteral("  -") + QLatin1String(name) + QStringLiteral("\n");
        return CommandLineExit{0, text, {}};
    }
    if (parser.isSet(version))
        return CommandLineExit{0, program + QStringLiteral(" " VORTAN_VERSION "\n"), {}};
    if (!parser.positionalArguments().isEmpty())
        return CommandLineExit{
            2,
            {},
            program + QStringLiteral(": ") +
                translated(QT_TRANSLATE_NOOP("vortan::CommandLine", "unexpected argument '%1'"))
                    .arg(parser.positionalArguments().constFirst()) +
                u'\n' + tryHelp + u'\n'};
    return std::nullopt;
}

} // namespace vortan
