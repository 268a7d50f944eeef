// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/progress/progress_window.h"

#include "app/progress/progress_charts.h"
#include "base/errors.h"
#include "desktop/translated_wording.h"
#include "desktop/windows1250.h"
#include "history/local_days.h"
#include "history/practice_advice_reader.h"
#include "scoring/drill_set.h"
#include "scoring/next_set_rule.h"
#include "scoring/practice_advice.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vortan {

namespace {

QString unicode(std::string_view bytes)
{
    return windows1250::toUnicode(bytes);
}

QString character(unsigned char byte)
{
    const char c = static_cast<char>(byte);
    return unicode(std::string_view(&c, 1));
}

// "83.3 %", in Polish "83,3 %".
QString percent(double fraction)
{
    const auto tenths = static_cast<long long>(std::lround(1000.0 * fraction));
    return QStringLiteral("%1 %").arg(
        QString::fromStdString(decimalTenths(translatedWording(), tenths)));
}

QTableWidget* table(QWidget* parent, const QString& name, const QString& objectName,
                    const QStringList& headers)
{
    auto* widget = new QTableWidget(0, int(headers.size()), parent);
    widget->setObjectName(objectName);
    widget->setAccessibleName(name);
    widget->setHorizontalHeaderLabels(headers);
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget->setSelectionBehavior(QAbstractItemView::SelectRows);
    widget->setTabKeyNavigation(false); // Tab leaves the table; arrows move within it
    widget->verticalHeader()->hide();
    return widget;
}

void setRow(QTableWidget& table, int row, const QStringList& cells)
{
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if (column > 0)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table.setItem(row, column, item);
    }
}

QChartView* chartView(QWidget* parent, const QString& name, const QString& objectName)
{
    auto* view = new QChartView(parent);
    view->setObjectName(objectName);
    view->setAccessibleName(name);
    view->setAccessibleDescription(ProgressWindow::tr("The same figures are in the table below."));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(180);
    return view;
}

QWidget* chartPage(QWidget* parent, QChartView* chart, QTableWidget* figures)
{
    auto* splitter = new QSplitter(Qt::Vertical, parent);
    splitter->addWidget(chart);
    splitter->addWidget(figures);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    return splitter;
}

} // namespace

ProgressWindow::ProgressWindow(CheckHistory& history, HistoryErrorReporter reportError,
                               QWidget* parent)
    : QDialog(parent, Qt::Window)
    , m_history(history)
    , m_reportError(std::move(reportError))
{
    buildLayout();
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::buildLayout()
{
    setWindowTitle(tr("Progress"));
    setAccessibleName(tr("Progress"));
    resize(760, 560);

    m_dateBox = new QCheckBox(tr("Only &between"), this);
    m_dateBox->setObjectName(QStringLiteral("dateBox"));
    m_dateBox->setAccessibleName(tr("Only checks between two dates"));
    const QDate today = QDate::currentDate();
    m_fromEdit = new QDateEdit(today.addDays(-30), this);
    m_fromEdit->setObjectName(QStringLiteral("fromEdit"));
    m_fromEdit->setAccessibleName(tr("From date"));
    m_toEdit = new QDateEdit(today, this);
    m_toEdit->setObjectName(QStringLiteral("toEdit"));
    m_toEdit->setAccessibleName(tr("To date, included"));
    for (QDateEdit* edit : {m_fromEdit, m_toEdit}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setEnabled(false);
    }
    auto* andLabel = new QLabel(tr("and"), this);

    auto* setLabel = new QLabel(tr("Character &set:"), this);
    m_setFilter = new QComboBox(this);
    m_setFilter->setObjectName(QStringLiteral("setFilter"));
    m_setFilter->setAccessibleName(tr("Character set"));
    m_setFilter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_setFilter->setMinimumContentsLength(24);
    setLabel->setBuddy(m_setFilter);

    auto* thresholdLabel = new QLabel(tr("Next set &at:"), this);
    m_thresholdBox = new QSpinBox(this);
    m_thresholdBox->setObjectName(QStringLiteral("thresholdBox"));
    m_thresholdBox->setAccessibleName(tr("Accuracy that earns the next set"));
    m_thresholdBox->setToolTip(
        tr("The accuracy of a check and of each new character that earns the next set"));
    m_thresholdBox->setRange(kMinimumAdvanceThresholdPercent, kMaximumAdvanceThresholdPercent);
    m_thresholdBox->setSuffix(QStringLiteral(" %"));
    m_thresholdBox->setValue(kDefaultAdvanceThresholdPercent);
    thresholdLabel->setBuddy(m_thresholdBox);

    // The speed target: off until ticked.
    m_targetBox = new QCheckBox(tr("and recognised &within"), this);
    m_targetBox->setObjectName(QStringLiteral("targetBox"));
    m_targetBox->setToolTip(tr("Also ask that each new character's median recognition time, "
                               "typed along, is under this time"));
    m_targetEdit = new QSpinBox(this);
    m_targetEdit->setObjectName(QStringLiteral("targetEdit"));
    m_targetEdit->setAccessibleName(tr("Recognition time that earns the next set"));
    m_targetEdit->setRange(kMinimumAdvanceTargetMs, kMaximumAdvanceTargetMs);
    m_targetEdit->setSingleStep(50);
    m_targetEdit->setSuffix(QStringLiteral(" ms"));
    m_targetEdit->setValue(kDefaultAdvanceTargetMs);
    m_targetEdit->setEnabled(false);

    // What to practise: the first thing read, its text its accessible name.
    m_adviceLabel = new QLabel(this);
    m_adviceLabel->setObjectName(QStringLiteral("adviceLabel"));
    m_adviceLabel->setWordWrap(true);
    m_adviceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont adviceFont = m_adviceLabel->font();
    adviceFont.setBold(true);
    m_adviceLabel->setFont(adviceFont);

    m_summaryLabel = new QLabel(this);
    m_summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    m_summaryLabel->setWordWrap(true);

    m_characterTable =
        table(this, tr("Characters, weakest first"), QStringLiteral("characterTable"),
              {tr("Character"), tr("Last 50"), tr("Sent"), tr("Right"), tr("Wrong"),
               tr("Written as"), tr("Missed"), tr("Extra"), tr("Recognition")});
    m_confusionTable =
        table(this, tr("Confusions, most frequent first"), QStringLiteral("confusionTable"),
              {tr("Sent"), tr("Written as"), tr("Times")});
    m_timeChart = chartView(this, tr("Accuracy over time, chart"), QStringLiteral("timeChart"));
    m_timeTable = table(this, tr("Accuracy over time, table"), QStringLiteral("timeTable"),
                        {tr("Day"), tr("Checks"), tr("Characters"), tr("Accuracy")});
    m_tempoChart = chartView(this, tr("Accuracy by tempo, chart"), QStringLiteral("tempoChart"));
    m_tempoTable = table(this, tr("Accuracy by tempo, table"), QStringLiteral("tempoTable"),
                         {tr("Tempo"), tr("Checks"), tr("Characters"), tr("Accuracy")});

    m_recognitionChart = chartView(this, tr("Recognition time over time, chart"),
                                   QStringLiteral("recognitionChart"));
    m_recognitionTable =
        table(this, tr("Recognition time over time, table"), QStringLiteral("recognitionTable"),
              {tr("Checked"), tr("Median"), tr("Characters timed")});

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setAccessibleName(tr("Figures"));
    m_tabs->addTab(m_characterTable, tr("C&haracters"));
    m_tabs->addTab(m_confusionTable, tr("&Confusions"));
    m_tabs->addTab(chartPage(this, m_timeChart, m_timeTable), tr("Accuracy over &time"));
    m_tabs->addTab(chartPage(this, m_tempoChart, m_tempoTable), tr("Accuracy by t&empo"));
    m_tabs->addTab(chartPage(this, m_recognitionChart, m_recognitionTable),
                   tr("Reco&gnition time"));

    m_drillButton = new QPushButton(tr("&Drill weak characters"), this);
    m_drillButton->setObjectName(QStringLiteral("drillButton"));
    m_drillButton->setAccessibleName(tr("Drill weak characters"));
    m_drillButton->setToolTip(
        tr("Put a set into the character-set box that draws weak characters more often"));
    m_drillLabel = new QLabel(this);
    m_drillLabel->setObjectName(QStringLiteral("drillLabel"));
    m_drillLabel->setWordWrap(true);
    m_drillLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* exportCsvButton = new QPushButton(tr("Export &CSV..."), this);
    exportCsvButton->setObjectName(QStringLiteral("exportCsvButton"));
    exportCsvButton->setToolTip(tr("Write every check and every character's outcome as CSV"));
    auto* exportCopyButton = new QPushButton(tr("Export c&opy..."), this);
    exportCopyButton->setObjectName(QStringLiteral("exportCopyButton"));
    exportCopyButton->setToolTip(tr("Write a copy of the whole history, for another machine"));
    auto* importButton = new QPushButton(tr("&Import..."), this);
    importButton->setObjectName(QStringLiteral("importButton"));
    importButton->setToolTip(
        tr("Add the checks of another history or of its checks CSV that this one lacks"));
    m_transferLabel = new QLabel(this);
    m_transferLabel->setObjectName(QStringLiteral("transferLabel"));
    m_transferLabel->setWordWrap(true);
    auto* refreshButton = new QPushButton(tr("&Refresh"), this);
    refreshButton->setAccessibleName(tr("Refresh"));
    auto* closeButton = new QPushButton(tr("Close"), this);
    closeButton->setAccessibleName(tr("Close"));

    auto* filters = new QGridLayout;
    filters->addWidget(m_dateBox, 0, 0);
    auto* dates = new QHBoxLayout;
    dates->addWidget(m_fromEdit);
    dates->addWidget(andLabel);
    dates->addWidget(m_toEdit);
    dates->addStretch();
    filters->addLayout(dates, 0, 1);
    filters->addWidget(setLabel, 1, 0);
    filters->addWidget(m_setFilter, 1, 1);
    filters->addWidget(thresholdLabel, 2, 0);
    auto* threshold = new QHBoxLayout;
    threshold->addWidget(m_thresholdBox);
    threshold->addWidget(m_targetBox);
    threshold->addWidget(m_targetEdit);
    threshold->addStretch();
    filters->addLayout(threshold, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_drillButton);
    buttons->addWidget(m_drillLabel, 1);
    buttons->addWidget(refreshButton);
    buttons->addWidget(closeButton);

    auto* transfer = new QHBoxLayout;
    transfer->addWidget(exportCsvButton);
    transfer->addWidget(exportCopyButton);
    transfer->addWidget(importButton);
    transfer->addWidget(m_transferLabel, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_adviceLabel);
    layout->addLayout(filters);
    layout->addWidget(m_summaryLabel);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(transfer);
    layout->addLayout(buttons);

    connect(m_dateBox, &QCheckBox::toggled, this, [this](bool on) {
        m_fromEdit->setEnabled(on);
        m_toEdit->setEnabled(on);
        refresh();
    });
    connect(m_fromEdit, &QDateEdit::dateChanged, this, &ProgressWindow::refresh);
    connect(m_toEdit, &QDateEdit::dateChanged, this, &ProgressWindow::refresh);
    connect(m_setFilter, &QComboBox::currentIndexChanged, this, &ProgressWindow::refresh);
    connect(m_thresholdBox, &QSpinBox::valueChanged, this, [this](int value) {
        try {
            m_history.setAdvanceThresholdPercent(value);
        } catch (const Error& error) {
            m_reportError(error.what());
        }
    });
    const auto keepTarget = [this] {
        m_targetEdit->setEnabled(m_targetBox->isChecked());
        try {
            m_history.setAdvanceTargetMs(
                m_targetBox->isChecked() ? std::optional(m_targetEdit->value()) : std::nullopt);
        } catch (const Error& error) {
            m_reportError(error.what());
        }
    };
    connect(m_targetBox, &QCheckBox::toggled, this, keepTarget);
    connect(m_targetEdit, &QSpinBox::valueChanged, this, keepTarget);
    connect(m_drillButton, &QPushButton::clicked, this, &ProgressWindow::drillWeakCharacters);
    connect(refreshButton, &QPushButton::clicked, this, &ProgressWindow::refresh);
    connect(exportCsvButton, &QPushButton::clicked, this, &ProgressWindow::chooseAndExportCsv);
    connect(exportCopyButton, &QPushButton::clicked, this, &ProgressWindow::chooseAndExportCopy);
    connect(importButton, &QPushButton::clicked, this, &ProgressWindow::chooseAndImport);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* closeKey = new QShortcut(QKeySequence::Cancel, this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
}

void ProgressWindow::setCurrentCharacterSet(const std::string& characterSet)
{
    m_currentSet = characterSet;
    m_selectCurrentSet = true;
    m_drillButton->setEnabled(!drillCharacters(characterSet).empty());
}

void ProgressWindow::showProgress()
{
    show();
    raise();
    activateWindow();
    try {
        const QSignalBlocker quiet(m_thresholdBox);
        m_thresholdBox->setValue(m_history.advanceThresholdPercent());
        const std::optional<int> target = m_history.advanceTargetMs();
        const QSignalBlocker quietBox(m_targetBox);
        const QSignalBlocker quietEdit(m_targetEdit);
        m_targetBox->setChecked(target.has_value());
        m_targetEdit->setEnabled(target.has_value());
        m_targetEdit->setValue(target.value_or(kDefaultAdvanceTargetMs));
    } catch (const Error&) {
        // refresh() reports the same failure once
    }
    refresh();
}

ProgressFilter ProgressWindow::filter() const
{
    ProgressFilter filter;
    if (m_dateBox->isChecked()) {
        filter.fromDay = localDay(m_fromEdit->date().startOfDay().toMSecsSinceEpoch());
        filter.untilDay = localDay(m_toEdit->date().startOfDay().toMSecsSinceEpoch()) + 1;
    }
    if (const QVariant set = m_setFilter->currentData(); set.isValid()) {
        const QByteArray bytes = set.toByteArray();
        filter.characterSet = std::string(bytes.constData(), std::size_t(bytes.size()));
    }
    return filter;
}

void ProgressWindow::fillSetFilter()
{
    std::vector<std::string> sets = m_history.characterSets();
    QVariant chosen = m_setFilter->currentData();
    if (m_selectCurrentSet) {
        const bool known = std::find(sets.begin(), sets.end(), m_currentSet) != sets.end();
        chosen = known ? QVariant(QByteArray::fromStdString(m_currentSet)) : QVariant();
        m_selectCurrentSet = false;
    }
    const QSignalBlocker quiet(m_setFilter);
    m_setFilter->clear();
    m_setFilter->addItem(tr("All sets"));
    for (const std::string& set : sets)
        m_setFilter->addItem(unicode(set), QByteArray::fromStdString(set));
    const int index = chosen.isValid() ? m_setFilter->findData(chosen) : 0;
    m_setFilter->setCurrentIndex(std::max(index, 0));
}

QString ProgressWindow::conditionsComparison() const
{
    // Only once a check was sent with band conditions: the plain summary stays as it was.
    const ConditionsAccuracy accuracy = m_history.accuracyByConditions(filter());
    if (accuracy.conditioned.checks == 0)
        return {};
    auto part = [](const ConditionsAccuracy::Part& counts) {
        return counts.sent == 0 ? tr("no checks")
                                : tr("%1 over %n check(s)", nullptr, int(counts.checks))
                                      .arg(percent(double(counts.correct) / double(counts.sent)));
    };
    return tr(" Accuracy without band conditions: %1; with them: %2.")
        .arg(part(accuracy.plain), part(accuracy.conditioned));
}

void ProgressWindow::refresh()
{
    ProgressData figures;
    PracticeFigures practice;
    QString comparison;
    try {
        fillSetFilter();
        figures = m_history.progress(filter());
        comparison = conditionsComparison();
        // The advice and the recognition column weigh the same figures: read once for both.
        practice = practiceFiguresFor(m_history, m_currentSet,
                                      localDay(QDateTime::currentMSecsSinceEpoch()));
        m_recognition = practice.recognition;
        m_recognitionPoints = m_history.recognitionOverTime(filter());
    } catch (const Error& error) {
        m_reportError(error.what());
        m_recognition = {};
        m_recognitionPoints.clear();
        m_summaryLabel->setText(tr("The history could not be read."));
        fillTables({});
        fillCharts({});
        return;
    }
    if (figures.days.empty()) {
        m_summaryLabel->setText(tr("No checks yet for this choice. Check a copy in the "
                                   "Check copy window and it appears here."));
    } else {
        long long checks = 0, sent = 0, correct = 0;
        for (const DayPoint& day : figures.days) {
            checks += day.checks;
            sent += day.sentCount;
            correct += day.correct;
        }
        // Counts beyond an int are not expected from one person's checks.
        m_summaryLabel->setText(
            tr("Checks: %n. %1. Accuracy %2.", nullptr, static_cast<int>(checks))
                .arg(tr("Characters sent: %n", nullptr, static_cast<int>(sent)))
                .arg(percent(double(correct) / double(sent))) +
            comparison);
    }
    fillTables(figures);
    fillCharts(figures);
    m_adviceLabel->setText(adviceText(practice));
}

void ProgressWindow::fillTables(const ProgressData& figures)
{
    m_characterTable->setRowCount(int(figures.characters.size()));
    int row = 0;
    for (const CharacterStatistics& s : figures.characters) {
        QStringList wrongAs;
        for (const auto& [typed, count] : s.wrongAs)
            wrongAs << QStringLiteral("%1 ×%2").arg(character(typed)).arg(count);
        const QString recent =
            s.recent.samples == 0
                ? QStringLiteral("-")
                : tr("%1 of %2").arg(percent(s.recent.accuracy())).arg(s.recent.samples);
        // The median of the last timed samples, and how many: a few say less.
        const CharacterRecognition& time = m_recognition[s.character];
        const QString recognition = time.samples == 0
                                        ? QStringLiteral("-")
                                        : tr("%1 ms of %2").arg(time.medianMs).arg(time.samples);
        setRow(*m_characterTable, row++,
               {character(s.character), recent, QString::number(s.sent), QString::number(s.correct),
                QString::number(s.wrong), wrongAs.join(QStringLiteral(", ")),
                QString::number(s.missed), QString::number(s.extra), recognition});
    }

    m_confusionTable->setRowCount(int(figures.confusions.size()));
    row = 0;
    for (const ConfusionPair& pair : figures.confusions)
        setRow(*m_confusionTable, row++,
               {character(pair.sent), character(pair.typed), QString::number(pair.count)});

    const std::vector<PeriodPoint> points = pointsOverTime(figures.days);
    const bool weeks = !points.empty() && points.front().dayCount > 1;
    m_timeTable->setHorizontalHeaderItem(0,
                                         new QTableWidgetItem(weeks ? tr("Week of") : tr("Day")));
    m_timeTable->setRowCount(int(points.size()));
    row = 0;
    // Newest first: the table is read from the top, the chart from the left.
    for (auto point = points.rbegin(); point != points.rend(); ++point) {
        setRow(*m_timeTable, row++,
               {QDateTime::fromMSecsSinceEpoch(localDayStartMs(point->firstDay))
                    .toString(QStringLiteral("yyyy-MM-dd")),
                QString::number(point->checks), QString::number(point->sentCount),
                percent(point->accuracy())});
    }

    m_tempoTable->setRowCount(int(figures.tempos.size()));
    row = 0;
    for (const TempoPoint& point : figures.tempos)
        setRow(*m_tempoTable, row++,
               {QString::number(point.tempo), QString::number(point.checks),
                QString::number(point.sentCount), percent(point.accuracy())});

    m_recognitionTable->setRowCount(int(m_recognitionPoints.size()));
    row = 0;
    for (auto point = m_recognitionPoints.rbegin(); point != m_recognitionPoints.rend(); ++point)
        setRow(*m_recognitionTable, row++,
               {QDateTime::fromMSecsSinceEpoch(point->checkedAtMs)
                    .toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                tr("%1 ms").arg(point->medianMs), QString::number(point->samples)});

    for (QTableWidget* each :
         {m_characterTable, m_confusionTable, m_timeTable, m_tempoTable, m_recognitionTable})
        each->resizeColumnsToContents();
}

void ProgressWindow::fillCharts(const ProgressData& figures)
{
    // The view takes the new chart but leaves the old one to us.
    const auto replace = [](QChartView* view, QChart* chart) {
        QChart* old = view->chart();
        view->setChart(chart);
        delete old;
    };
    replace(m_timeChart, accuracyOverTimeChart(pointsOverTime(figures.days)));
    replace(m_tempoChart, accuracyByTempoChart(figures.tempos));
    replace(m_recognitionChart, recognitionOverTimeChart(m_recognitionPoints));
    restyleCharts();
}

void ProgressWindow::restyleCharts()
{
    for (QChartView* view : {m_timeChart, m_tempoChart, m_recognitionChart})
        styleChart(*view->chart(), palette());
}

void ProgressWindow::drillWeakCharacters()
{
    if (drillCharacters(m_currentSet).empty())
        return;
    RecentAccuracy recent;
    RecentRecognition recognition;
    std::string due;
    try {
        due = dueToday(m_history, localDay(QDateTime::currentMSecsSinceEpoch()));
        recent = m_history.recentAccuracy(drillCharacters(m_currentSet + due));
        recognition = m_history.recentRecognition();
    } catch (const Error& error) {
        m_reportError(error.what());
        return;
    }
    const QString drill = unicode(drillSet(m_currentSet, recent, due, recognition));
    m_drillLabel->setText(tr("Drill set: %1").arg(drill));
    Q_EMIT drillSetChosen(drill);
}

void ProgressWindow::exportCsvTo(const std::filesystem::path& checksFile)
{
    std::filesystem::path outcomesFile = checksFile;
    outcomesFile.replace_extension();
    outcomesFile += "-characters.csv";
    try {
        m_history.exportCsv(checksFile, outcomesFile);
    } catch (const Error& error) {
        m_reportError(error.what());
        return;
    }
    m_transferLabel->setText(tr("Exported to %1 and %2.")
                                 .arg(QString::fromStdString(checksFile.filename().string()),
                                      QString::fromStdString(outcomesFile.filename().string())));
}

void ProgressWindow::exportCopyTo(const std::filesystem::path& file)
{
    try {
        m_history.exportCopy(file);
    } catch (const Error& error) {
        m_reportError(error.what());
        return;
    }
    m_transferLabel->setText(
        tr("The history was copied to %1.").arg(QString::fromStdString(file.filename().string())));
}

void ProgressWindow::importFrom(const std::filesystem::path& file)
{
    std::int64_t added = 0;
    try {
        added = m_history.importHistory(file);
    } catch (const Error& error) {
        m_transferLabel->setText(tr("Nothing was imported."));
        m_reportError(error.what());
        return;
    }
    const QString name = QString::fromStdString(file.filename().string());
    // Counts beyond an int are not expected from one person's checks.
    m_transferLabel->setText(
        tr("Checks added from %1: %n.", nullptr, static_cast<int>(added)).arg(name));
    refresh();
}

void ProgressWindow::chooseAndExportCsv()
{
    const QString file = QFileDialog::getSaveFileName(
        this, tr("Export CSV"), QStringLiteral("vortan-history.csv"), tr("CSV files (*.csv)"));
    if (!file.isEmpty())
        exportCsvTo(file.toStdString());
}

void ProgressWindow::chooseAndExportCopy()
{
    const QString file = QFileDialog::getSaveFileName(this, tr("Export copy"),
                                                      QStringLiteral("vortan-history.sqlite"),
                                                      tr("History files (*.sqlite)"));
    if (!file.isEmpty())
        exportCopyTo(file.toStdString());
}

void ProgressWindow::chooseAndImport()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Import"), QString(),
        tr("History files or checks CSV (*.sqlite *.csv);;All files (*)"));
    if (!file.isEmpty())
        importFrom(file.toStdString());
}

void ProgressWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_timeChart->chart())
        restyleCharts();
}

QString ProgressWindow::adviceText(const PracticeFigures& figures)
{
    return QString::fromStdString(practiceAdvice(figures, translatedWording()));
}

} // namespace vortan
