// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/vortan2.h"

#include "app/about/applicationIcon.h"
#include "desktop/accessible_factories.h"
#include "desktop/program_font.h"
#include "ui_vortan2.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace vortan {

namespace {

// The fonts are set here rather than in the layout file because it holds point sizes only, and
// the window is drawn to the pixel. Windows' Times New Roman is not on a stock Linux desktop:
// Liberation Serif has its metrics, Tinos is the same design, DejaVu the fallback.
QFont serifFont(int pixelSize)
{
    QFont font = programFont(pixelSize);
    font.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
                      QStringLiteral("DejaVu Serif")});
    return font;
}

QFont bold(QFont font, bool italic = false)
{
    font.setBold(true);
    font.setItalic(italic);
    return font;
}

// A plain top-level QWidget reads as a "filler" to screen readers; this one is a dialog.
QAccessibleInterface* aboutWindowAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1StringView("vortan::TForm2") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
    return nullptr;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , ui(std::make_unique<Ui::TForm2>())
{
    installAccessibleFactory(aboutWindowAccessible);
    const QFont windowFont = programFont(11);
    setFont(windowFont);
    ui->setupUi(this);
    setWindowIcon(applicationIcon());
    setFixedSize(361, 177);
    move(137, 125);

    // The build's version (the project's, in CMake), not the layout's copy of it.
    ui->Label1->setText(QStringLiteral(VORTAN_VERSION));
    ui->Label1->setAccessibleName(QStringLiteral("Version " VORTAN_VERSION));

    ui->StaticText1->setFont(bold(programFont(48)));
    ui->StaticText2->setFont(bold(programFont(16)));
    ui->StaticText3->setFont(bold(serifFont(19), true));

    // The layout gives the fonts first and the look after them, so the look rule sees them.
    QFont linkFont = windowFont;
    linkFont.setUnderline(true);
    ui->mdURLLabel1->setLinkFont(linkFont);
    ui->mdURLLabel1->setPassiveFont(windowFont);
    ui->mdURLLabel1->setLabelType(TmdLabelType::Auto);

    connect(ui->Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

TForm2::~TForm2() = default;

void TForm2::showAbout()
{
    show();
    raise();
    activateWindow();
}

void TForm2::Button1Click()
{
    close();
}

} // namespace vortan
