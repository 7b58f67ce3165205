#pragma once

#include <optional>

#include <QList>
#include <QObject>

#include "watch/ValueStore.h"

class QChart;
class QChartView;
class QWidget;

// The chart of one value's readings through the day, its alert levels drawn across it.
class DayChart final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DayChart)
public:
    explicit DayChart(QWidget *parent);

    QChartView *view() const { return m_view; }
    void show(const QString &name, const QList<ValueStore::Reading> &readings, std::optional<double> above,
              std::optional<double> below);
    void clear();

private:
    QChartView *m_view;
    QChart *m_chart;
};
