// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The user's web browser as the Linux desktop knows it: whether one is registered, and asking it
// to open an address. The desktop keeps its choices in the XDG "mimeapps.list" files; we read
// them directly because running xdg-mime costs a noticeable part of a second per question.
namespace vortan {

class WebBrowser {
public:
    virtual ~WebBrowser() = default;

    // Whether a program is registered for opening both ".html" and ".htm" files.
    virtual bool canOpenWebPages() const = 0;

    // Asks the desktop to open the address with the user's browser. The outcome is not reported:
    // a desktop without a browser simply shows nothing.
    virtual void openWebPage(const QString& address) const = 0;
};

// The folders the XDG base directory rules name, in order of precedence.
struct XdgDirectories {
    QString configHome;
    QStringList configDirs;
    QString dataHome;
    QStringList dataDirs;
    QStringList desktopNames; // from XDG_CURRENT_DESKTOP, lower case

    // Read from XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME, XDG_DATA_DIRS,
    // XDG_CURRENT_DESKTOP and HOME, with the standard defaults for unset ones.
    static XdgDirectories fromEnvironment();
};

// The desktop file id (such as "firefox.desktop") of the default application for a MIME type,
// found as xdg-mime finds it without a desktop environment: the "Default Applications" of the
// mimeapps.list files, then defaults.list and mimeinfo.cache, then any installed desktop file
// that lists the type. Only applications whose desktop file is installed count. Empty when none.
QString defaultApplicationFor(const QString& mimeType, const XdgDirectories& dirs);

// The desktop's browser: the check reads the association files, opening goes through xdg-open.
class DesktopWebBrowser final : public WebBrowser {
public:
    explicit DesktopWebBrowser(XdgDirectories dirs = XdgDirectories::fromEnvironment());

    bool canOpenWebPages() const override;
    void openWebPage(const QString& address) const override;

private:
    XdgDirectories m_dirs;
};

} // namespace vortan
