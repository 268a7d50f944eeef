// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/options_window.h"

#include "app/options/band_conditions_group.h"
#include "desktop/program_font.h"
#include "settings/options_store.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vortan {

namespace {

// The range, unit and step of an option; 0 reads "Off", as every option is off at 0.
QSpinBox* optionSpinBox(const ProgramOption& option, int step, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(option.minimum, option.maximum);
    box->setSingleStep(step);
    box->setSuffix(QLatin1String(" ") +
                   QLatin1String(option.unit.data(), static_cast<qsizetype>(option.unit.size())));
    box->setSpecialValueText(OptionsWindow::tr("Off"));
    box->setAlignment(Qt::AlignRight);
    box->setMinimumWidth(90);
    return box;
}

// A group of one option: its caption with the key of its mnemonic, the box, and a line on what
// it does.
QGroupBox* optionGroup(const QString& title, const QString& caption, QSpinBox* box,
                       const QString& accessibleName, const QString& note, const QString& hint,
                       QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    auto* label = new QLabel(caption, group);
    label->setBuddy(box);
    box->setParent(group);
    box->setAccessibleName(accessibleName);
    box->setAccessibleDescription(note);
    box->setToolTip(hint);
    label->setToolTip(hint);
    auto* noteLabel = new QLabel(note, group);
    noteLabel->setWordWrap(true);
    noteLabel->setTextFormat(Qt::PlainText);

    auto* form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(label, box);
    form->addRow(noteLabel);
    return group;
}

} // namespace

OptionsWindow::OptionsWindow(OptionsStore& options, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , m_options(options)
{
    setWindowTitle(tr("Options"));
    setAccessibleName(tr("Options"));
    setFont(programFont(11));

    m_rise = optionSpinBox(programOption(OptionId::Rise), 1, this);
    m_leadIn = optionSpinBox(programOption(OptionId::LeadIn), 100, this);
    QGroupBox* keying = optionGroup(
        tr("Soft keying"), tr("&Rise and fall:"), m_rise, tr("Rise and fall in milliseconds"),
        tr("Every dot and dash fades in and out over this time, so that it does not click."),
        tr("Rise and fall of every dot and dash; 0 = off"), this);
    QGroupBox* leadIn = optionGroup(
        tr("Play"), tr("&Lead-in before Play:"), m_leadIn,
        tr("Lead-in before Play in milliseconds"),
        tr("Quiet sound before the exercise, so that wireless headphones wake up before the "
           "first dot. Saved WAV files have none."),
        tr("Quiet sound before the exercise; 0 = off"), this);

    auto* closeButton = new QPushButton(tr("&Close"), this);
    closeButton->setToolTip(tr("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(keying);
    layout->addWidget(leadIn);
    m_conditions = new BandConditionsGroup(m_options, this);
    layout->addWidget(m_conditions);
    connect(m_conditions, &BandConditionsGroup::conditionsChanged, this,
            &OptionsWindow::bandConditionsChanged);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    keying->setMinimumWidth(300);
    leadIn->setMinimumWidth(300);

    showStoreValues();
    connect(m_rise, &QSpinBox::valueChanged, this, [this](int riseMs) {
        m_options.setValue(OptionId::Rise, riseMs);
        Q_EMIT softKeyingChanged(riseMs);
    });
    connect(m_leadIn, &QSpinBox::valueChanged, this, [this](int leadInMs) {
        m_options.setValue(OptionId::LeadIn, leadInMs);
        Q_EMIT leadInChanged(leadInMs);
    });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

OptionsWindow::~OptionsWindow() = default;

void OptionsWindow::showOptions()
{
    if (!isVisible())
        showStoreValues();
    show();
    raise();
    activateWindow();
}

void OptionsWindow::showStoreValues()
{
    // The store's own values: nothing to announce.
    const QSignalBlocker riseBlocker(m_rise);
    const QSignalBlocker leadInBlocker(m_leadIn);
    m_rise->setValue(m_options.value(OptionId::Rise));
    m_leadIn->setValue(m_options.value(OptionId::LeadIn));
    m_conditions->showStoreValues();
}

} // namespace vortan
