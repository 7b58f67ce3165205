#pragma once

#include <optional>

#include <QDateTime>
#include <QList>
#include <QObject>

#include "watch/store/ValueStore.h"

class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
class QWidget;

// The chart of one value's readings through the day, its alert levels drawn across it. A new
// reading is appended to the day's line; only another day or other levels draw it anew. The
// previous close is drawn as a level is. Where no reading came for longer than a value may go
// unread, the line breaks: a straight line across the silence would show a quiet market that
// nobody saw.
class DayChart final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DayChart)
public:
    explicit DayChart(QWidget *parent);

    QChartView *view() const { return m_view; }
    void show(const QString &name, const QList<ValueStore::Reading> &readings, std::optional<double> above,
              std::optional<double> below, std::optional<double> previousClose = std::nullopt);
    // A reading of the value shown, later than those it shows.
    void append(const ValueStore::Reading &reading);
    void clear();
    // Readings farther apart than this are not joined.
    void setGapAfter(qint64 seconds) { m_gapAfter = seconds; }

    // The points of the day's line, for checking what is drawn, and how many pieces it is in.
    QList<QPointF> points() const;
    int pieces() const { return int(m_pieces.size()); }

private:
    void fitAxes(bool keepNiceRange);
    void startPiece();

    QChart *m_chart;
    QChartView *m_view;
    // The day's line, one series per stretch without a gap; the last is the one appended to.
    QList<QLineSeries *> m_pieces;
    QDateTimeAxis *m_time = nullptr;
    QValueAxis *m_values = nullptr;
    QList<std::pair<QLineSeries *, double>> m_levelLines;
    std::optional<double> m_above;
    std::optional<double> m_below;
    std::optional<double> m_previousClose;
    QString m_name;
    QDateTime m_from;
    QDateTime m_to;
    double m_low = 0;
    double m_high = 0;
    qint64 m_gapAfter = 120;
};
