#include "watch/window/FollowedValuesPart.h"

#include <QDir>

#include "common/MessageBox.h"
#include "watch/window/AlertHistoryModel.h"
#include "watch/alerts/AlertList.h"
#include "watch/window/DayChart.h"
#include "watch/FollowedValues.h"
#include "watch/window/FollowedValuesModel.h"
#include "watch/window/FollowedValuesWindow.h"
#include "watch/store/ReadingsCsv.h"
#include "watch/window/ValueQuestions.h"

FollowedValuesPart::FollowedValuesPart(FollowedValues &values, QObject *parent)
    : QObject(parent)
    , m_values(values)
    , m_questions(new ValueQuestions(this))
{
    // The answers come back for a value that may have gone meanwhile; the values check.
    connect(m_questions, &ValueQuestions::levelGiven, &values, &FollowedValues::setLevel);
    connect(m_questions, &ValueQuestions::marginGiven, &values, &FollowedValues::setMargin);
    connect(m_questions, &ValueQuestions::moveGiven, &values, &FollowedValues::setMove);
    connect(m_questions, &ValueQuestions::nameGiven, &values, &FollowedValues::rename);
    connect(m_questions, &ValueQuestions::unfollowConfirmed, &values, &FollowedValues::unfollow);
    connect(m_questions, &ValueQuestions::exportPathGiven, this, &FollowedValuesPart::exportReadings);
    connect(&values, &FollowedValues::kept, this, [this](qint64 id, const ValueStore::Reading &reading) {
        if (isOpen() && id == m_window->chosenId())
            m_window->chart().append(reading);
    });
    connect(&values, &FollowedValues::changed, this, &FollowedValuesPart::keepChartUp);
}

FollowedValuesPart::~FollowedValuesPart() = default;

FollowedValuesWindow &FollowedValuesPart::window()
{
    if (m_window)
        return *m_window;
    m_model = std::make_unique<FollowedValuesModel>(m_values);
    m_window = std::make_unique<FollowedValuesWindow>(*m_model);
    FollowedValuesWindow *w = m_window.get();
    w->showAlertHistory(alertHistory());
    m_model->setLate(m_late);
    w->setIntervalMinutes(m_intervalMinutes);
    connect(w, &FollowedValuesWindow::intervalChosen, this, &FollowedValuesPart::intervalChosen);
    // Closed, the chart waits for the opening, which draws it once.
    connect(w, &FollowedValuesWindow::chosenChanged, this, [this](qint64 id) {
        if (isOpen())
            showChart(id);
    });
    connect(w, &FollowedValuesWindow::levelAsked, this, [this](qint64 id, BrowserPane::ValueAsk which) {
        if (which == BrowserPane::ValueAsk::AlertMove)
            askMove(id);
        else
            askLevel(id, which == BrowserPane::ValueAsk::AlertAbove);
    });
    connect(w, &FollowedValuesWindow::alertsCleared, this, [this](qint64 id) {
        m_values.setLevels(id, {std::nullopt, std::nullopt, m_values.row(id).levels.marginPercent});
        m_values.setMove(id, std::nullopt);
    });
    connect(w, &FollowedValuesWindow::renameAsked, this,
            [this](qint64 id) { m_questions->askName(id, m_values.row(id).name, m_window.get()); });
    connect(w, &FollowedValuesWindow::marginAsked, this,
            [this](qint64 id) { m_questions->askMargin(id, m_values.row(id).levels.marginPercent, m_window.get()); });
    connect(w, &FollowedValuesWindow::exportAsked, this,
            [this](qint64 id) { m_questions->askExportPath(id, m_values.row(id).name, m_window.get()); });
    connect(w, &FollowedValuesWindow::unfollowAsked, this, [this](qint64 id) { askUnfollow(id, m_window.get()); });
    return *m_window;
}

void FollowedValuesPart::setIntervalMinutes(int minutes)
{
    m_intervalMinutes = minutes;
    if (m_window)
        m_window->setIntervalMinutes(minutes);
}

void FollowedValuesPart::setLate(const QList<qint64> &late)
{
    m_late = late;
    if (m_model)
        m_model->setLate(late);
}

AlertHistoryModel &FollowedValuesPart::alertHistory()
{
    if (!m_alertHistory)
        m_alertHistory = std::make_unique<AlertHistoryModel>(m_values);
    return *m_alertHistory;
}

void FollowedValuesPart::showAlertList()
{
    if (!m_alertList)
        m_alertList = std::make_unique<AlertList>(alertHistory());
    m_alertList->bringUp();
}

bool FollowedValuesPart::isOpen() const
{
    return m_window && m_window->isVisible();
}

void FollowedValuesPart::showWindow()
{
    const bool wasOpen = isOpen();
    FollowedValuesWindow &w = window();
    if (const std::optional<int> year = m_values.unknownYear())
        w.setNote(QStringLiteral("Il calendario di borsa non conosce il %1: ogni giorno feriale \u00e8 considerato di "
                                 "apertura.").arg(*year));
    else
        w.setNote(QString());
    // Bold stays on what was new at this opening, and only what comes later is new at the next.
    if (!wasOpen) {
        m_alertHistory->forgetUnseen();
        m_alertHistory->reload();
        m_values.markAlertsSeen();
    }
    w.show();
    // Closed, the chart was left as it stood while readings came.
    if (!wasOpen)
        showChart(w.chosenId());
    w.raise();
    w.activateWindow();
}

void FollowedValuesPart::showValue(qint64 id)
{
    window().choose(id);
    showWindow();
}

void FollowedValuesPart::showChart(qint64 id)
{
    if (!m_window)
        return;
    if (!m_values.contains(id)) {
        m_window->chart().clear();
        return;
    }
    const FollowedRow row = m_values.row(id);
    const QDate day = row.lastTime.isValid() ? row.lastTime.date() : m_values.today();
    m_chartName = row.name;
    m_chartLevels = row.levels;
    m_chartClose = row.previousClose;
    m_window->chart().show(row.name, m_values.readings(id, day.startOfDay(), day.endOfDay()), row.levels.above,
                           row.levels.below, row.previousClose);
}

void FollowedValuesPart::keepChartUp(qint64 id)
{
    if (!isOpen() || id != m_window->chosenId())
        return;
    const FollowedRow row = m_values.row(id);
    if (row.name != m_chartName || row.levels.above != m_chartLevels.above || row.levels.below != m_chartLevels.below
        || row.previousClose != m_chartClose)
        showChart(id);
}

void FollowedValuesPart::askLevel(qint64 id, bool above, std::optional<double> current, QWidget *over)
{
    if (!m_values.contains(id))
        return;
    const FollowedRow row = m_values.row(id);
    const std::optional<double> set = above ? row.levels.above : row.levels.below;
    if (!over && isOpen())
        over = m_window.get();
    m_questions->askLevel(id, row.name, above, current ? current : row.last ? row.last : set, over);
}

void FollowedValuesPart::askMove(qint64 id, QWidget *over)
{
    if (!m_values.contains(id))
        return;
    const FollowedRow row = m_values.row(id);
    MoveCrossing::Move shown;
    if (row.movePercent) {
        shown.percent = *row.movePercent;
        shown.minutes = row.moveMinutes;
        shown.reference = row.moveMinutes > 0 ? MoveCrossing::Reference::WithinMinutes : MoveCrossing::Reference::PreviousClose;
    }
    if (!over && isOpen())
        over = m_window.get();
    m_questions->askMove(id, row.name, shown, over);
}

void FollowedValuesPart::askUnfollow(qint64 id, QWidget *over)
{
    if (m_values.contains(id))
        m_questions->askUnfollow(id, m_values.row(id).name, over);
}

void FollowedValuesPart::exportReadings(qint64 id, const QString &path)
{
    if (!m_values.contains(id))
        return;
    const auto readings = m_values.readings(id, QDateTime::fromSecsSinceEpoch(0), QDateTime::currentDateTime().addYears(1));
    QString error;
    if (!ReadingsCsv::save(path, m_values.row(id).name, readings, &error))
        MessageBox::show(m_window.get(), QMessageBox::Warning, QStringLiteral("Esporta CSV"),
                         QStringLiteral("Il file \u00ab%1\u00bb non \u00e8 stato scritto: %2")
                             .arg(QDir::toNativeSeparators(path), error));
}
