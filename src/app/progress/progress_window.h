// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The "Progress" window: what the kept checks say. Per character: times sent, right, wrong (and
// as what), missed, typed as extra, and the accuracy of its latest 50 samples, weakest first;
// the most frequent confusions; accuracy per check over time and by transmission tempo, each
// chart with its figures also as a table, over time by day (by week over long spans). At the
// top, what to practise in a few sentences: the weak characters, those due for review today,
// how near the next set is. Filters: a date range and a character set. The threshold of the
// next-set rule is set here. "Drill weak characters" makes a set from the current one and the
// characters due, which the main window puts into the character-set box. The history can be
// exported as CSV or as a database copy, and another history imported into it.

#include "history/check_history.h"
#include "scoring/practice_advice.h"

#include <QDialog>

#include <filesystem>
#include <string>

class QChartView;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace vortan {

class ProgressWindow : public QDialog {
    Q_OBJECT

public:
    // What to practise, in words, sentence by sentence as practiceAdvice() builds it.
    static QString adviceText(const PracticeFigures& figures);

    // The history must outlive the window.
    ProgressWindow(CheckHistory& history, HistoryErrorReporter reportError,
                   QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // The text of the character-set box (windows-1250): what a drill is made from, and the set
    // the filter offers when the window is opened.
    void setCurrentCharacterSet(const std::string& characterSet);

    // Shows the window without blocking the main window, or brings it to the front, and reads
    // the history afresh.
    void showProgress();

    // Reads the history again with the filters as they stand (after a new check, say).
    void refresh();

    // "Drill weak characters".
    void drillWeakCharacters();

    // Export and import, the file names chosen (the buttons ask for them): the CSV files are
    // `checksFile` and the same name ending in "-characters.csv". The outcome is shown in the
    // transfer label; a failure goes to the error reporter.
    void exportCsvTo(const std::filesystem::path& checksFile);
    void exportCopyTo(const std::filesystem::path& file);
    void importFrom(const std::filesystem::path& file);

Q_SIGNALS:
    // The drill set to put into the character-set box, where the learner can still edit it.
    void drillSetChosen(const QString& characterSet);

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    ProgressFilter filter() const;
    // The accuracy with and without band conditions side by side, or nothing while no check
    // had them.
    QString conditionsComparison() const;
    void fillSetFilter();
    void fillTables(const ProgressData& figures);
    void fillCharts(const ProgressData& figures);
    void restyleCharts();
    void chooseAndExportCsv();
    void chooseAndExportCopy();
    void chooseAndImport();

    CheckHistory& m_history;
    HistoryErrorReporter m_reportError;
    std::string m_currentSet;
    bool m_selectCurrentSet = true; // the next filling of the set filter picks the current set

    QCheckBox* m_dateBox = nullptr;
    QDateEdit* m_fromEdit = nullptr;
    QDateEdit* m_toEdit = nullptr;
    QComboBox* m_setFilter = nullptr;
    QSpinBox* m_thresholdBox = nullptr;
    QCheckBox* m_targetBox = nullptr;
    QSpinBox* m_targetEdit = nullptr;
    QLabel* m_summaryLabel = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTableWidget* m_characterTable = nullptr;
    QTableWidget* m_confusionTable = nullptr;
    QChartView* m_timeChart = nullptr;
    QTableWidget* m_timeTable = nullptr;
    QChartView* m_tempoChart = nullptr;
    QTableWidget* m_tempoTable = nullptr;
    QChartView* m_recognitionChart = nullptr;
    QTableWidget* m_recognitionTable = nullptr;
    // The recognition times shown with the figures.
    RecentRecognition m_recognition{};
    std::vector<RecognitionPoint> m_recognitionPoints;
    QPushButton* m_drillButton = nullptr;
    QLabel* m_drillLabel = nullptr;
    QLabel* m_adviceLabel = nullptr;
    QLabel* m_transferLabel = nullptr;
};

} // namespace vortan
