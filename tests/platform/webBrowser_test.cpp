#include "platform/webBrowser.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A private desktop: XDG config and data folders with their own association files.
class FakeDesktop {
public:
    FakeDesktop()
    {
        dirs.configHome = m_root.filePath("config");
        dirs.configDirs = {m_root.filePath("etc-xdg")};
        dirs.dataHome = m_root.filePath("data");
        dirs.dataDirs = {m_root.filePath("share")};
    }

    // Writes `text` to `relative` under the root, making its folders.
    void write(const QString& relative, const QByteArray& text) const
    {
        const QString path = m_root.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // An application whose program exists (/bin/true), or whose program is missing.
    void installApp(const QString& appsDir, const QString& id, const QByteArray& mimeTypes = {},
                    bool programExists = true) const
    {
        write(appsDir + '/' + id,
              "[Desktop Entry]\nType=Application\nName=App\nExec=" +
                  (programExists ? QByteArray("/bin/true") : QByteArray("/nonexistent/browser")) +
                  " %u\n" + (mimeTypes.isEmpty() ? "" : "MimeType=" + mimeTypes + "\n"));
    }

    // What xdg-mime itself answers for this desktop (without a desktop environment).
    QString xdgMimeDefault(const QString& mimeType) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dirs.configHome);
        env.insert("XDG_CONFIG_DIRS", dirs.configDirs.join(':'));
        env.insert("XDG_DATA_HOME", dirs.dataHome);
        env.insert("XDG_DATA_DIRS", dirs.dataDirs.join(':'));
        env.remove("XDG_CURRENT_DESKTOP");
        env.remove("DE");
        env.remove("KDE_FULL_SESSION");
        env.remove("GNOME_DESKTOP_SESSION_ID");
        process.setProcessEnvironment(env);
        process.start("xdg-mime", {"query", "default", mimeType});
        if (!process.waitForFinished(10000))
            return "<xdg-mime did not answer>";
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    vortan::XdgDirectories dirs;

private:
    QTemporaryDir m_root;
};

struct Layout {
    std::string name;
    std::vector<std::pair<QString, QByteArray>> files;
    std::vector<QString> apps; // desktop ids installed in data/applications
    QString missingProgramApp; // a desktop id whose program is not there
    QString expected;
    // xdg-mime 1.1 reads only the first id of a list; the XDG rules (and GNOME, KDE) take the
    // first installed one, as we do.
    bool xdgMimeAgrees = true;
};

const QByteArray defaults = "[Default Applications]\n";

std::vector<Layout> layouts()
{
    return {
        {"nothing registered", {}, {}, {}, ""},
        {"user's mimeapps.list",
         {{"config/mimeapps.list", defaults + "text/html=web.desktop;\n"}},
         {"web.desktop"},
         {},
         "web.desktop"},
        {"other section does not count",
         {{"config/mimeapps.list", "[Added Associations]\ntext/html=web.desktop;\n"}},
         {"web.desktop"},
         {},
         ""},
        {"other type does not count",
         {{"config/mimeapps.list", defaults + "text/plain=web.desktop;\n"}},
         {"web.desktop"},
         {},
         ""},
        {"uninstalled first choice is passed over",
         {{"config/mimeapps.list", defaults + "text/html=gone.desktop;web.desktop;\n"}},
         {"web.desktop"},
         {},
         "web.desktop",
         false},
        {"entry whose program is missing is passed over",
         {{"config/mimeapps.list", defaults + "text/html=broken.desktop;\n"}},
         {},
         "broken.desktop",
         ""},
        {"user's choice wins over the system's",
         {{"config/mimeapps.list", defaults + "text/html=mine.desktop\n"},
          {"share/applications/mimeapps.list", defaults + "text/html=system.desktop\n"}},
         {"mine.desktop", "system.desktop"},
         {},
         "mine.desktop"},
        {"system defaults when the user chose nothing",
         {{"etc-xdg/mimeapps.list", defaults + "text/html=system.desktop\n"}},
         {"system.desktop"},
         {},
         "system.desktop"},
        {"mimeinfo.cache",
         {{"share/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=cached.desktop;\n"}},
         {"cached.desktop"},
         {},
         "cached.desktop"},
    };
}

TEST(DefaultApplication, AgreesWithXdgMimeAcrossLayouts)
{
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty())
        GTEST_SKIP() << "xdg-mime (package xdg-utils) is not installed";
    for (const Layout& layout : layouts()) {
        SCOPED_TRACE(layout.name);
        FakeDesktop desktop;
        for (const auto& [path, text] : layout.files)
            desktop.write(path, text);
        for (const QString& id : layout.apps)
            desktop.installApp("data/applications", id);
        if (!layout.missingProgramApp.isEmpty())
            desktop.installApp("data/applications", layout.missingProgramApp, {}, false);

        const QString ours = vortan::defaultApplicationFor("text/html", desktop.dirs);
        EXPECT_EQ(ours.toStdString(), layout.expected.toStdString());
        if (layout.xdgMimeAgrees) {
            EXPECT_EQ(ours.toStdString(), desktop.xdgMimeDefault("text/html").toStdString());
        }
    }
}

TEST(DefaultApplication, DesktopSpecificListComesFirst)
{
    FakeDesktop desktop;
    desktop.dirs.desktopNames = {"xfce"};
    desktop.write("config/mimeapps.list", defaults + "text/html=plain.desktop\n");
    desktop.write("config/xfce-mimeapps.list", defaults + "text/html=xfce.desktop\n");
    desktop.installApp("data/applications", "plain.desktop");
    desktop.installApp("data/applications", "xfce.desktop");
    EXPECT_EQ(vortan::defaultApplicationFor("text/html", desktop.dirs), "xfce.desktop");
}

TEST(DefaultApplication, FindsAnUncachedDesktopFileByItsTypes)
{
    FakeDesktop desktop;
    desktop.installApp("data/applications", "viewer.desktop", "image/png;");
    desktop.installApp("data/applications", "browser.desktop", "text/xml;text/html;");
    EXPECT_EQ(vortan::defaultApplicationFor("text/html", desktop.dirs), "browser.desktop");
    EXPECT_EQ(vortan::defaultApplicationFor("application/pdf", desktop.dirs), "");
}

TEST(DesktopWebBrowser, NeedsAHandlerForWebPages)
{
    FakeDesktop desktop;
    EXPECT_FALSE(vortan::DesktopWebBrowser(desktop.dirs).canOpenWebPages());

    // A handler for another type is not a browser.
    desktop.write("config/mimeapps.list", defaults + "text/plain=editor.desktop\n");
    desktop.installApp("data/applications", "editor.desktop");
    EXPECT_FALSE(vortan::DesktopWebBrowser(desktop.dirs).canOpenWebPages());

    desktop.write("config/mimeapps.list",
                  defaults + "text/plain=editor.desktop\ntext/html=editor.desktop\n");
    EXPECT_TRUE(vortan::DesktopWebBrowser(desktop.dirs).canOpenWebPages());
}

} // namespace
