// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/webBrowser.h"

#include "files/xdg_paths.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#include <optional>

namespace vortan {

namespace {

QString qtPath(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

QStringList qtPaths(const std::vector<std::filesystem::path>& paths)
{
    QStringList list;
    for (const auto& path : paths)
        list << qtPath(path);
    return list;
}

QStringList applicationDirs(const XdgDirectories& dirs)
{
    QStringList result;
    if (!dirs.dataHome.isEmpty())
        result << dirs.dataHome + QStringLiteral("/applications");
    for (const QString& dir : dirs.dataDirs)
        result << dir + QStringLiteral("/applications");
    return result;
}

// A desktop file in one of the application folders whose program can be found, as xdg-mime
// counts an application: an entry left behind by an uninstalled browser opens nothing.
bool isInstalled(const QString& desktopId, const XdgDirectories& dirs);

// The value of `key` in `[section]` of a desktop-style key file, split at ";"; nothing when the
// file, section or key is missing. A tiny reader of our own: QSettings treats "/" in the keys
// ("text/html") as a group separator.
std::optional<QStringList> readListEntry(const QString& path, QStringView section, QStringView key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&file);
    bool inSection = false;
    QString line;
    while (in.readLineInto(&line)) {
        const QStringView text = QStringView(line).trimmed();
        if (text.startsWith(u'[')) {
            inSection = text == QString(QLatin1Char('[') + section.toString() + QLatin1Char(']'));
            continue;
        }
        if (!inSection || text.startsWith(u'#'))
            continue;
        const qsizetype equals = text.indexOf(u'=');
        if (equals > 0 && text.first(equals).trimmed() == key)
            return text.sliced(equals + 1).trimmed().toString().split(u';', Qt::SkipEmptyParts);
    }
    return std::nullopt;
}

bool isInstalled(const QString& desktopId, const XdgDirectories& dirs)
{
    if (!desktopId.endsWith(QStringLiteral(".desktop")) || desktopId.contains(u'/'))
        return false;
    for (const QString& dir : applicationDirs(dirs)) {
        const QString path = dir + u'/' + desktopId;
        if (!QFileInfo(path).isFile())
            continue;
        const auto exec = readListEntry(path, u"Desktop Entry", u"Exec");
        if (!exec || exec->isEmpty())
            return false;
        QString program = exec->first().section(u' ', 0, 0, QString::SectionSkipEmpty);
        program.remove(u'"');
        return !program.isEmpty() && !QStandardPaths::findExecutable(program).isEmpty();
    }
    return false;
}

QString firstInstalled(const std::optional<QStringList>& ids, const XdgDirectories& dirs)
{
    if (ids) {
        for (const QString& id : *ids) {
            if (isInstalled(id.trimmed(), dirs))
                return id.trimmed();
        }
    }
    return {};
}

} // namespace

XdgDirectories XdgDirectories::fromEnvironment()
{
    XdgDirectories dirs;
    dirs.configHome = qtPath(xdg::configHome());
    dirs.configDirs = qtPaths(xdg::configDirs());
    dirs.dataHome = qtPath(xdg::dataHome());
    dirs.dataDirs = qtPaths(xdg::dataDirs());
    dirs.desktopNames =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(u':', Qt::SkipEmptyParts);
    return dirs;
}

QString defaultApplicationFor(const QString& mimeType, const XdgDirectories& dirs)
{
    QStringList listDirs;
    if (!dirs.configHome.isEmpty())
        listDirs << dirs.configHome;
    listDirs << dirs.configDirs << applicationDirs(dirs);
    for (const QString& dir : listDirs) {
        QStringList names;
        for (const QString& desktop : dirs.desktopNames)
            names << desktop + QStringLiteral("-mimeapps.list");
        names << u"mimeapps.list"_qs;
        for (const QString& name : names) {
            const QString id = firstInstalled(
                readListEntry(dir + u'/' + name, QStringLiteral("Default Applications"), mimeType),
                dirs);
            if (!id.isEmpty())
                return id;
        }
    }

    for (const QString& dir : applicationDirs(dirs)) {
        QString id = firstInstalled(readListEntry(dir + QStringLiteral("/defaults.list"),
                                                  QStringLiteral("Default Applications"), mimeType),
                                    dirs);
        if (id.isEmpty())
            id = firstInstalled(readListEntry(dir + QStringLiteral("/mimeinfo.cache"),
                                              QStringLiteral("MIME Cache"), mimeType),
                                dirs);
        if (!id.isEmpty())
            return id;
    }

    // Desktop files installed without a cache update are found only by looking into them.
    for (const QString& dir : applicationDirs(dirs)) {
        QDirIterator it(dir, {u"*.desktop"_qs}, QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            const auto types =
                readListEntry(path, QStringLiteral("Desktop Entry"), QStringLiteral("MimeType"));
            const QString id = QFileInfo(path).fileName();
            if (types && types->contains(mimeType) && isInstalled(id, dirs))
                return id;
        }
    }
    return {};
}

DesktopWebBrowser::DesktopWebBrowser(XdgDirectories dirs)
    : m_dirs(std::move(dirs))
{
}

bool DesktopWebBrowser::canOpenWebPages() const
{
    const QMimeDatabase mimeDatabase;
    QString lastType;
    for (const char* fileName : {"page.html", "page.htm"}) {
        const QMimeType type = mimeDatabase.mimeTypeForFile(QString::fromLatin1(fileName),
                                                            QMimeDatabase::MatchExtension);
        if (!type.isValid() || type.isDefault())
            return false;
        // Both extensions are normally text/html: the first answer holds for the second.
        if (type.name() == lastType)
            continue;
        if (defaultApplicationFor(type.name(), m_dirs).isEmpty())
            return false;
        lastType = type.name();
    }
    return true;
}

void DesktopWebBrowser::openWebPage(const QString& address) const
{
    QDesktopServices::openUrl(QUrl(address));
}

} // namespace vortan
