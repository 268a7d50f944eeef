// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/webBrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

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
         {{u"config/mimeapps.list"_s, defaults + "text/plain=web.desktop\n"}},
         QString()},
        {"user's choice",
         {{u"config/mimeapps.list"_s, defaults + "text/html=web.desktop;\n"}},
         u"web.desktop"_s},
        {"other section does not count",
         {{u"config/mimeapps.list"_s, "[Added Associations]\ntext/html=web.desktop;\n"}},
         QString()},
        {"uninstalled first choice passed over",
         {{u"config/mimeapps.list"_s, defaults + "text/html=gone.desktop;web.desktop;\n"}},
         u"web.desktop"_s},
        {"program missing",
         {{u"config/mimeapps.list"_s, defaults + "text/html=broken.desktop\n"}},
         QString()},
        {"system defaults",
         {{u"etc-xdg/mimeapps.list"_s, defaults + "text/html=web.desktop\n"}},
         u"web.desktop"_s},
        {"mimeinfo.cache",
         {{u"share/applications/mimeinfo.cache"_s, "[MIME Cache]\ntext/html=web.desktop;\n"}},
         u"web.desktop"_s},
        {"user wins over system",
         {{u"config/mimeapps.list"_s, defaults + "text/html=mine.desktop\n"},
          {u"share/applications/mimeapps.list"_s, defaults + "text/html=system.desktop\n"}},
         u"mine.desktop"_s},
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
            write(u"data/applications/%1.desktop"_s.arg(QLatin1StringView(id)),
                  QByteArray("[Desktop Entry]\nType=Application\nName=App\nExec=") +
                      (id == std::string("broken") ? "/nonexistent/browser" : "/bin/true") +
                      " %u\n");
        for (const auto& [relative, text] : c.files)
            write(relative, text);
        const vortan::XdgDirectories dirs{root.filePath(u"config"_s),
                                          {root.filePath(u"etc-xdg"_s)},
                                          root.filePath(u"data"_s),
                                          {root.filePath(u"share"_s)},
                                          {}};
        EXPECT_EQ(vortan::defaultApplicationFor(u"text/html"_s, dirs), c.expected) << c.what;
        EXPECT_EQ(vortan::DesktopWebBrowser(dirs).canOpenWebPages(), !c.expected.isEmpty())
            << c.what;
    }
}

} // namespace
