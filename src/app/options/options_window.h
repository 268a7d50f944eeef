// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QSpinBox;

namespace vortan {

class BandConditionsGroup;
class OptionsStore;

// The Options window: the soft keying of every rendering, the lead-in before Play and the band
// conditions. Made
// once at program start, hidden; Options shows it without blocking the main window, Close or
// the close box hide it again. A change goes into the store at once and is announced.
class OptionsWindow : public QDialog {
    Q_OBJECT

public:
    // The store must outlive the window.
    explicit OptionsWindow(OptionsStore& options, QWidget* parent = nullptr);
    ~OptionsWindow() override;

    // The main window's Options command: shows the store's values, or brings the window to
    // the front when it is already shown.
    void showOptions();

Q_SIGNALS:
    // The rise and fall of tone elements changed, in milliseconds (0: hard keying): the last
    // rendering no longer sounds as the next one will.
    void softKeyingChanged(int riseMs);
    // The quiet sound before Play changed, in milliseconds (0: none).
    void leadInChanged(int leadInMs);
    // The band conditions changed: the last rendering no longer sounds as the next one will.
    void bandConditionsChanged();

private:
    void showStoreValues();

    OptionsStore& m_options;
    QSpinBox* m_rise = nullptr;
    QSpinBox* m_leadIn = nullptr;
    BandConditionsGroup* m_conditions = nullptr;
};

} // namespace vortan
