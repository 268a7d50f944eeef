// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

#include <array>

class QComboBox;
class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

namespace vortan {

class OptionsStore;
struct BandConditions;

// The Options window's "Band conditions": a named starting point and every condition in its
// units (fades per second and dB, hertz, dB against the signal, milliseconds). A change goes
// into the store at once and is announced; the starting point shows which name the values
// match, "Custom" when none.
class BandConditionsGroup : public QGroupBox {
    Q_OBJECT

public:
    // The store must outlive the group.
    explicit BandConditionsGroup(OptionsStore& options, QWidget* parent = nullptr);

    // Shows the store's conditions without announcing them.
    void showStoreValues();

Q_SIGNALS:
    // The conditions changed: the next rendering sounds different.
    void conditionsChanged();

private:
    BandConditions shownConditions() const;
    void takeShownConditions();
    void showStartingPoint();

    OptionsStore& m_options;
    QComboBox* m_startingPoint = nullptr;
    QDoubleSpinBox* m_qsbRate = nullptr;
    QSpinBox* m_qsbDepth = nullptr;
    struct StationBoxes {
        QCheckBox* on = nullptr;
        QSpinBox* offset = nullptr;
        QSpinBox* level = nullptr;
        QSpinBox* speed = nullptr;
    };
    std::array<StationBoxes, 3> m_stations{};
    QDoubleSpinBox* m_qrnRate = nullptr;
    QSpinBox* m_qrnLevel = nullptr;
    QSpinBox* m_chirpShift = nullptr;
    QSpinBox* m_chirpSettle = nullptr;
};

} // namespace vortan
