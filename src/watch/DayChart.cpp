#include "watch/DayChart.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QValueAxis>

DayChart::DayChart(QWidget *parent)
    : QObject(parent)
    , m_view(new QChartView(parent))
    , m_chart(new QChart)
{
    m_view->setObjectName(QStringLiteral("dayChart"));
    m_view->setChart(m_chart);
    m_view->setRenderHint(QPainter::Antialiasing);
    // Qt Charts cuts a value axis's labels to "..." once the gap between them is lower than
    // a line of text: the plot needs its height.
    m_view->setMinimumHeight(240);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_chart->setLocalizeNumbers(true);
    m_chart->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
}

void DayChart::clear()
{
    m_chart->removeAllSeries();
    // A removed axis is the caller's again; the window redraws at every reading.
    for (QAbstractAxis *axis : m_chart->axes()) {
        m_chart->removeAxis(axis);
        delete axis;
    }
    m_chart->setTitle(QString());
}

void DayChart::show(const QString &name, const QList<ValueStore::Reading> &readings, std::optional<double> above,
                    std::optional<double> below)
{
    clear();
    m_chart->setTitle(name);
    if (readings.isEmpty())
        return;
    auto *series = new QLineSeries;
    const QDate day = readings.first().time.date();
    series->setName(day == QDate::currentDate()
                        ? QStringLiteral("Letture di oggi")
                        : QStringLiteral("Letture del %1").arg(day.toString(QStringLiteral("dd/MM/yyyy"))));
    QList<QPointF> points;
    points.reserve(readings.size());
    double low = readings.first().number, high = low;
    for (const ValueStore::Reading &reading : readings) {
        points.append(QPointF(double(reading.time.toMSecsSinceEpoch()), reading.number));
        low = qMin(low, reading.number);
        high = qMax(high, reading.number);
    }
    // One call for all points: a series takes a day's readings far faster whole.
    series->replace(points);
    // A line needs two readings; the day's first alone would not show at all.
    series->setPointsVisible(points.size() == 1);
    m_chart->addSeries(series);

    auto *time = new QDateTimeAxis;
    QDateTime from = readings.first().time, to = readings.last().time;
    if (from == to)
        to = from.addSecs(60);
    time->setFormat(from.secsTo(to) < 600 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    time->setRange(from, to);
    auto *values = new QValueAxis;
    m_chart->addAxis(time, Qt::AlignBottom);
    m_chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(time);
    series->attachAxis(values);

    for (const auto &[level, caption, colour] : {std::tuple{above, QStringLiteral("Avviso sopra"), QColor(0, 140, 0)},
                                                 std::tuple{below, QStringLiteral("Avviso sotto"), QColor(200, 0, 0)}}) {
        if (!level)
            continue;
        auto *line = new QLineSeries;
        line->setName(caption);
        line->append(double(from.toMSecsSinceEpoch()), *level);
        line->append(double(to.toMSecsSinceEpoch()), *level);
        line->setPen(QPen(colour, 1.5, Qt::DashLine));
        m_chart->addSeries(line);
        line->attachAxis(time);
        line->attachAxis(values);
        low = qMin(low, *level);
        high = qMax(high, *level);
    }
    const double pad = high > low ? (high - low) * 0.08 : qMax(qAbs(high) * 0.01, 0.01);
    // Prices never go below nought, and neither should their axis because a level is far off.
    values->setRange(low >= 0 ? qMax(0.0, low - pad) : low - pad, high + pad);
    values->applyNiceNumbers();
}
