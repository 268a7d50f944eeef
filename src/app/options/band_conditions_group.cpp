// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/band_conditions_group.h"

#include "settings/band_conditions.h"
#include "settings/options_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <memory>
#include <vector>

namespace vortan {

namespace {

// The stations' speed box reads "own" one below the slowest speed: a speed of its own.
constexpr int ownSpeed = 39;

// The names of namedConditions(), which are defined without Qt, for lupdate to find.
[[maybe_unused]] constexpr const char* conditionNames[] = {
    QT_TRANSLATE_NOOP("vortan::BandConditionsGroup", "Quiet"),
    QT_TRANSLATE_NOOP("vortan::BandConditionsGroup", "Gentle fading"),
    QT_TRANSLATE_NOOP("vortan::BandConditionsGroup", "Busy band"),
    QT_TRANSLATE_NOOP("vortan::BandConditionsGroup", "Summer static"),
};

template <typename Box>
Box* numberBox(QWidget* parent, double minimum, double maximum, const QString& suffix,
               const QString& accessibleName)
{
    auto* box = new Box(parent);
    box->setRange(minimum, maximum);
    box->setSuffix(suffix);
    box->setAlignment(Qt::AlignRight);
    box->setAccessibleName(accessibleName);
    box->setMinimumWidth(90);
    return box;
}

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

BandConditionsGroup::BandConditionsGroup(OptionsStore& options, QWidget* parent)
    : QGroupBox(tr("Band conditions"), parent)
    , m_options(options)
{
    m_startingPoint = new QComboBox(this);
    for (const NamedConditions& named : namedConditions())
        m_startingPoint->addItem(tr(named.name.data()));
    m_startingPoint->addItem(tr("Custom"));
    m_startingPoint->setAccessibleName(tr("Starting point"));

    m_qsbRate = numberBox<QDoubleSpinBox>(this, 0, kQsbMaxRate, tr(" fades/s"),
                                          tr("Fading rate in fades per second"));
    m_qsbRate->setDecimals(2);
    m_qsbRate->setSingleStep(kQsbMinRate);
    m_qsbRate->setSpecialValueText(tr("Off"));
    m_qsbDepth = numberBox<QSpinBox>(this, 0, kQsbMaxDepthDb, tr(" dB"), tr("Fading depth in dB"));

    m_qrnRate =
        numberBox<QDoubleSpinBox>(this, 0, kQrnMaxRate, tr(" /s"), tr("Static crashes per second"));
    m_qrnRate->setDecimals(1);
    m_qrnRate->setSingleStep(0.5);
    m_qrnRate->setSpecialValueText(tr("Off"));
    m_qrnLevel = numberBox<QSpinBox>(this, kQrnMinLevelDb, kQrnMaxLevelDb, tr(" dB"),
                                     tr("Static level in dB against the signal"));
    m_chirpShift = numberBox<QSpinBox>(this, -kChirpMaxHz, kChirpMaxHz, tr(" Hz"),
                                       tr("Chirp at key-down in Hz, 0 is off"));
    m_chirpSettle = numberBox<QSpinBox>(this, kChirpMinMs, kChirpMaxMs, tr(" ms"),
                                        tr("Chirp settling time in milliseconds"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(caption(tr("&Starting point:"), m_startingPoint, this), 0, 0);
    grid->addWidget(m_startingPoint, 0, 1, 1, 3);
    grid->addWidget(caption(tr("&Fading (QSB):"), m_qsbRate, this), 1, 0);
    grid->addWidget(m_qsbRate, 1, 1);
    grid->addWidget(m_qsbDepth, 1, 2);
    for (std::size_t i = 0; i < m_stations.size(); ++i) {
        StationBoxes& station = m_stations[i];
        const int row = 2 + static_cast<int>(i);
        const QString number = QString::number(i + 1);
        station.on = new QCheckBox(tr("Station &%1 (QRM):").arg(number), this);
        station.offset = numberBox<QSpinBox>(this, -kQrmMaxOffsetHz, kQrmMaxOffsetHz, tr(" Hz"),
                                             tr("Station %1 offset in Hz").arg(number));
        station.offset->setSingleStep(50);
        station.level =
            numberBox<QSpinBox>(this, kQrmMinLevelDb, kQrmMaxLevelDb, tr(" dB"),
                                tr("Station %1 level in dB against the signal").arg(number));
        station.speed =
            numberBox<QSpinBox>(this, ownSpeed, 250, tr(" cpm"),
                                tr("Station %1 speed in characters per minute").arg(number));
        station.speed->setSpecialValueText(tr("own speed"));
        grid->addWidget(station.on, row, 0);
        grid->addWidget(station.offset, row, 1);
        grid->addWidget(station.level, row, 2);
        grid->addWidget(station.speed, row, 3);
    }
    grid->addWidget(caption(tr("S&tatic (QRN):"), m_qrnRate, this), 5, 0);
    grid->addWidget(m_qrnRate, 5, 1);
    grid->addWidget(m_qrnLevel, 5, 2);
    grid->addWidget(caption(tr("C&hirp:"), m_chirpShift, this), 6, 0);
    grid->addWidget(m_chirpShift, 6, 1);
    grid->addWidget(m_chirpSettle, 6, 2);
    auto* note = new QLabel(tr("Levels are against the signal's. Above 0 dB loud stations and "
                               "static may clip."),
                            this);
    note->setWordWrap(true);
    note->setTextFormat(Qt::PlainText);
    grid->addWidget(note, 7, 0, 1, 4);
    setToolTip(tr("Fading, other stations, static and chirp, as on a real band"));

    showStoreValues();
    connect(m_startingPoint, &QComboBox::activated, this, [this](int index) {
        if (index >= static_cast<int>(namedConditions().size()))
            return;
        m_options.setConditions(namedConditions()[static_cast<std::size_t>(index)].conditions);
        showStoreValues();
        Q_EMIT conditionsChanged();
    });
    auto follow = [this] { takeShownConditions(); };
    for (QDoubleSpinBox* box : {m_qsbRate, m_qrnRate})
        connect(box, &QDoubleSpinBox::valueChanged, this, follow);
    for (QSpinBox* box : {m_qsbDepth, m_qrnLevel, m_chirpShift, m_chirpSettle})
        connect(box, &QSpinBox::valueChanged, this, follow);
    for (const StationBoxes& station : m_stations) {
        connect(station.on, &QCheckBox::toggled, this, follow);
        for (QSpinBox* box : {station.offset, station.level, station.speed})
            connect(box, &QSpinBox::valueChanged, this, follow);
    }
}

BandConditions BandConditionsGroup::shownConditions() const
{
    BandConditions conditions;
    conditions.qsbRate = m_qsbRate->value();
    conditions.qsbDepthDb = m_qsbDepth->value();
    for (const StationBoxes& station : m_stations) {
        if (station.on->isChecked()) {
            const int speed = station.speed->value();
            conditions.qrm.push_back({.offsetHz = station.offset->value(),
                                      .levelDb = station.level->value(),
                                      .speed = speed == ownSpeed ? 0 : speed});
        }
    }
    conditions.qrnRate = m_qrnRate->value();
    conditions.qrnLevelDb = m_qrnLevel->value();
    conditions.chirpHz = m_chirpShift->value();
    conditions.chirpMs = m_chirpSettle->value();
    return conditions;
}

void BandConditionsGroup::takeShownConditions()
{
    BandConditions conditions = shownConditions();
    // Between 0 and the slowest fading the box's step passes no value the store refuses, but a
    // typed one can: it goes to the slowest.
    if (conditions.qsbRate > 0 && conditions.qsbRate < kQsbMinRate)
        conditions.qsbRate = kQsbMinRate;
    m_options.setConditions(conditions);
    showStartingPoint();
    for (const StationBoxes& station : m_stations) {
        for (QSpinBox* box : {station.offset, station.level, station.speed})
            box->setEnabled(station.on->isChecked());
    }
    Q_EMIT conditionsChanged();
}

void BandConditionsGroup::showStartingPoint()
{
    const auto& named = namedConditions();
    const auto match = std::find_if(named.begin(), named.end(), [this](const auto& entry) {
        return entry.conditions == m_options.conditions();
    });
    m_startingPoint->setCurrentIndex(static_cast<int>(match - named.begin()));
}

void BandConditionsGroup::showStoreValues()
{
    // The store's own values: nothing to announce.
    const QList<QWidget*> boxes = findChildren<QWidget*>();
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QWidget* box : boxes)
        blockers.push_back(std::make_unique<QSignalBlocker>(box));
    const BandConditions& conditions = m_options.conditions();
    m_qsbRate->setValue(conditions.qsbRate);
    m_qsbDepth->setValue(conditions.qsbDepthDb);
    for (std::size_t i = 0; i < m_stations.size(); ++i) {
        const StationBoxes& boxesOf = m_stations[i];
        const bool present = i < conditions.qrm.size();
        const QrmStation station = present ? conditions.qrm[i] : QrmStation{};
        boxesOf.on->setChecked(present);
        boxesOf.offset->setValue(station.offsetHz);
        boxesOf.level->setValue(station.levelDb);
        boxesOf.speed->setValue(station.speed == 0 ? ownSpeed : station.speed);
        for (QSpinBox* box : {boxesOf.offset, boxesOf.level, boxesOf.speed})
            box->setEnabled(present);
    }
    m_qrnRate->setValue(conditions.qrnRate);
    m_qrnLevel->setValue(conditions.qrnLevelDb);
    m_chirpShift->setValue(conditions.chirpHz);
    m_chirpSettle->setValue(conditions.chirpMs);
    showStartingPoint();
}

} // namespace vortan
