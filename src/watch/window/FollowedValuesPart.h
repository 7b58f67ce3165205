#pragma once

#include <memory>
#include <optional>

#include <QList>
#include <QObject>

#include "watch/rules/LevelCrossing.h"

class AlertHistoryModel;
class AlertList;
class FollowedValues;
class FollowedValuesModel;
class FollowedValuesWindow;
class QWidget;
class ValueQuestions;

// The watch's window: "Valori seguiti" made at its first opening, the questions about a value
// and what their answers change, the CSV export, the chart of the value chosen kept up with
// its readings.
class FollowedValuesPart final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FollowedValuesPart)
public:
    explicit FollowedValuesPart(FollowedValues &values, QObject *parent = nullptr);
    ~FollowedValuesPart() override;

    void showWindow();
    // "Valori seguiti" in front, that value chosen (a notification clicked).
    void showValue(qint64 id);
    // The level's question over the window given, else over "Valori seguiti" where open.
    void askLevel(qint64 id, bool above, std::optional<double> current = std::nullopt, QWidget *over = nullptr);
    void askMove(qint64 id, QWidget *over = nullptr);
    void askUnfollow(qint64 id, QWidget *over);
    void exportReadings(qint64 id, const QString &path);

    // Shown in the window, now or at its making.
    void setIntervalMinutes(int minutes);
    void setLate(const QList<qint64> &late);

    // The program's own alert window in front, for an alert no notification service took.
    void showAlertList();

    // Made at the first call.
    FollowedValuesWindow &window();
    AlertHistoryModel &alertHistory();
    AlertList *alertList() const { return m_alertList.get(); }
    bool isOpen() const;

signals:
    void intervalChosen(int minutes);

private:
    void showChart(qint64 id);
    void keepChartUp(qint64 id);

    FollowedValues &m_values;
    ValueQuestions *m_questions;
    std::unique_ptr<FollowedValuesModel> m_model;
    std::unique_ptr<AlertHistoryModel> m_alertHistory;
    std::unique_ptr<FollowedValuesWindow> m_window;
    std::unique_ptr<AlertList> m_alertList;
    // What the chart was drawn with: a change of these draws it anew.
    QString m_chartName;
    LevelCrossing::Levels m_chartLevels;
    std::optional<double> m_chartClose;
    int m_intervalMinutes = 1;
    QList<qint64> m_late;
};
