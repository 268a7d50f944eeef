#include "desktop/webBrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

const QByteArray defaults = "[Default Applications]\n";

// Each case is a private desktop: XDG folders holding the given association files and the
// applications web, mine and system (programs installed) and broken (program missing).
TEST(DefaultApplication, FollowsTheAssociationFilesAndDecidesTheBrowser)
{
    const struct {
        const char* what;
        std::vector<std::pair<QString, QByteArray>> files;
        QString expected;
    } cases[] = {
        {"nothing registered",
         {{"config/mimeapps.list", defaults + "text/plain=web.desktop\n"}},
         ""},
        {"user's choice",
         {{"config/mimeapps.list", defaults + "text/html=web.desktop;\n"}},
         "web.desktop"},
        {"other section does not count",
         {{"config/mimeapps.list", "[Added Associations]\ntext/html=web.desktop;\n"}},
         ""},
        {"uninstalled first choice passed over",
         {{"config/mimeapps.list", defaults + "text/html=gone.desktop;web.desktop;\n"}},
         "web.desktop"},
        {"program missing",
         {{"config/mimeapps.list", defaults + "text/html=broken.desktop\n"}},
         ""},
        {"system defaults",
         {{"etc-xdg/mimeapps.list", defaults + "text/html=web.desktop\n"}},
         "web.desktop"},
        {"mimeinfo.cache",
         {{"share/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=web.desktop;\n"}},
         "web.desktop"},
        {"user wins over system",
         {{"config/mimeapps.list", defaults + "text/html=mine.desktop\n"},
          {"share/applications/mimeapps.list", defaults + "text/html=system.desktop\n"}},
         "mine.desktop"},
    };
    for (const auto& c : cases) {
        QTemporaryDir root;
        const auto write = [&](const QString& relative, const QByteArray& text) {
            QDir().mkpath(QFileInfo(root.filePath(relative)).path());
            QFile file(root.filePath(relative));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text);
        };
        for (const char* id : {"web", "mine", "system", "broken"})
            write(QString("data/applications/%1.desktop").arg(id),
                  QByteArray("[Desktop Entry]\nType=Application\nName=App\nExec=") +
                      (id == std::string("broken") ? "/nonexistent/browser" : "/bin/true") +
                      " %u\n");
        for (const auto& [relative, text] : c.files)
            write(relative, text);
        const vortan::XdgDirectories dirs{root.filePath("config"),
                                          {root.filePath("etc-xdg")},
                                          root.filePath("data"),
                                          {root.filePath("share")},
                                          {}};
        EXPECT_EQ(vortan::defaultApplicationFor("text/html", dirs), c.expected) << c.what;
        EXPECT_EQ(vortan::DesktopWebBrowser(dirs).canOpenWebPages(), !c.expected.isEmpty())
            << c.what;
    }
}

} // namespace
