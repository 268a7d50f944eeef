#include "platform/webBrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray defaults = "[Default Applications]\n";

// A private desktop: XDG config and data folders with association files and applications.
class FakeDesktop {
public:
    FakeDesktop()
    {
        dirs.configHome = m_root.filePath("config");
        dirs.configDirs = {m_root.filePath("etc-xdg")};
        dirs.dataHome = m_root.filePath("data");
        dirs.dataDirs = {m_root.filePath("share")};
    }
    void write(const QString& relative, const QByteArray& text) const
    {
        const QString path = m_root.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void install(const QString& id, const QByteArray& program = "/bin/true") const
    {
        write("data/applications/" + id,
              "[Desktop Entry]\nType=Application\nName=App\nExec=" + program + " %u\n");
    }
    vortan::XdgDirectories dirs;

private:
    QTemporaryDir m_root;
};

TEST(DefaultApplication, FollowsTheAssociationFiles)
{
    const struct {
        const char* what;
        const char* file;
        QByteArray text;
        QString expected;
    } cases[] = {
        {"nothing registered", "config/mimeapps.list", "", ""},
        {"user's choice", "config/mimeapps.list", defaults + "text/html=web.desktop;\n",
         "web.desktop"},
        {"other section does not count", "config/mimeapps.list",
         "[Added Associations]\ntext/html=web.desktop;\n", ""},
        {"uninstalled first choice passed over", "config/mimeapps.list",
         defaults + "text/html=gone.desktop;web.desktop;\n", "web.desktop"},
        {"program missing", "config/mimeapps.list", defaults + "text/html=broken.desktop\n", ""},
        {"system defaults", "etc-xdg/mimeapps.list", defaults + "text/html=web.desktop\n",
         "web.desktop"},
        {"mimeinfo.cache", "share/applications/mimeinfo.cache",
         "[MIME Cache]\ntext/html=web.desktop;\n", "web.desktop"},
    };
    for (const auto& c : cases) {
        FakeDesktop desktop;
        desktop.install("web.desktop");
        desktop.install("broken.desktop", "/nonexistent/browser");
        desktop.write(c.file, c.text);
        EXPECT_EQ(vortan::defaultApplicationFor("text/html", desktop.dirs), c.expected) << c.what;
    }
}

TEST(DefaultApplication, UserWinsOverSystem)
{
    FakeDesktop desktop;
    desktop.install("mine.desktop");
    desktop.install("system.desktop");
    desktop.write("config/mimeapps.list", defaults + "text/html=mine.desktop\n");
    desktop.write("share/applications/mimeapps.list", defaults + "text/html=system.desktop\n");
    EXPECT_EQ(vortan::defaultApplicationFor("text/html", desktop.dirs), "mine.desktop");
}

TEST(DesktopWebBrowser, NeedsAHandlerForWebPages)
{
    FakeDesktop desktop;
    desktop.install("editor.desktop");
    desktop.write("config/mimeapps.list", defaults + "text/plain=editor.desktop\n");
    EXPECT_FALSE(vortan::DesktopWebBrowser(desktop.dirs).canOpenWebPages());
    desktop.write("config/mimeapps.list", defaults + "text/html=editor.desktop\n");
    EXPECT_TRUE(vortan::DesktopWebBrowser(desktop.dirs).canOpenWebPages());
}

} // namespace
