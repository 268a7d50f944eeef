// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <memory>

namespace vortan {

namespace Ui {
class TForm2;
}

// The About window: product name, edition, version, attribution and a link to the web page.
// Made once at program start, hidden; About shows it, OK or the close box hide it again, and it
// keeps its place between showings.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // The main window's About command: shows the window without blocking the main window, or
    // brings it to the front when it is already shown.
    void showAbout();

    // OK: hides the window (it is not destroyed).
    void Button1Click();

private:
    std::unique_ptr<Ui::TForm2> ui;
};

} // namespace vortan
