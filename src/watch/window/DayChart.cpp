#include "watch/window/DayChart.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QValueAxis>

DayChart::DayChart(QWidget *parent)
    : QObject(parent)
    , m_chart(new QChart)
    // Given the chart at once: a view made without one makes its own, which setChart() would
    // hand back to us and so leak.
    , m_view(new QChartView(m_chart, parent))
{
    m_view->setObjectName(QStringLiteral("dayChart"));
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
    // A removed axis is the caller's again.
    for (QAbstractAxis *axis : m_chart->axes()) {
        m_chart->removeAxis(axis);
        delete axis;
    }
    m_chart->setTitle(QString());
    m_pieces.clear();
    m_time = nullptr;
    m_values = nullptr;
    m_levelLines.clear();
}

void DayChart::show(const QString &name, const QList<ValueStore::Reading> &readings, std::optional<double> above,
                    std::optional<double> below, std::optional<double> previousClose)
{
    clear();
    m_name = name;
    m_above = above;
    m_below = below;
    m_previousClose = previousClose;
    m_chart->setTitle(name);
    if (readings.isEmpty())
        return;
    m_from = readings.first().time;
    m_to = readings.last().time;
    m_time = new QDateTimeAxis;
    m_values = new QValueAxis;
    m_chart->addAxis(m_time, Qt::AlignBottom);
    m_chart->addAxis(m_values, Qt::AlignLeft);
    QList<QPointF> points;
    points.reserve(readings.size());
    m_low = m_high = readings.first().number;
    for (qsizetype i = 0; i < readings.size(); ++i) {
        const ValueStore::Reading &reading = readings.at(i);
        if (i > 0 && readings.at(i - 1).time.secsTo(reading.time) > m_gapAfter) {
            startPiece();
            // One call for all points: a series takes a day's readings far faster whole.
            m_pieces.last()->replace(points);
            points.clear();
        }
        points.append(QPointF(double(reading.time.toMSecsSinceEpoch()), reading.number));
        m_low = qMin(m_low, reading.number);
        m_high = qMax(m_high, reading.number);
    }
    startPiece();
    m_pieces.last()->replace(points);
    // A line needs two readings; a reading alone, the day's first or one after a gap, would not
    // show at all.
    for (QLineSeries *piece : std::as_const(m_pieces))
        piece->setPointsVisible(piece->count() == 1);
    for (const auto &[level, caption, colour] : {std::tuple{above, QStringLiteral("Avviso sopra"), QColor(0, 140, 0)},
                                                 std::tuple{below, QStringLiteral("Avviso sotto"), QColor(200, 0, 0)},
                                                 std::tuple{previousClose, QStringLiteral("Chiusura precedente"), QColor(110, 110, 110)}}) {
        if (!level)
            continue;
        auto *line = new QLineSeries;
        line->setName(caption);
        line->setPen(QPen(colour, 1.5, Qt::DashLine));
        m_chart->addSeries(line);
        line->attachAxis(m_time);
        line->attachAxis(m_values);
        m_levelLines.append({line, *level});
        m_low = qMin(m_low, *level);
        m_high = qMax(m_high, *level);
    }
    fitAxes(false);
}

void DayChart::append(const ValueStore::Reading &reading)
{
    if (m_pieces.isEmpty() || reading.time.date() != m_from.date() || reading.time < m_to) {
        show(m_name, {reading}, m_above, m_below, m_previousClose);
        return;
    }
    const QPointF point(double(reading.time.toMSecsSinceEpoch()), reading.number);
    QLineSeries *piece = m_pieces.last();
    // The store keeps a second's last reading; so does the line.
    if (reading.time.toSecsSinceEpoch() == m_to.toSecsSinceEpoch()) {
        piece->replace(piece->count() - 1, point);
    } else {
        if (m_to.secsTo(reading.time) > m_gapAfter) {
            startPiece();
            piece = m_pieces.last();
        }
        piece->append(point);
    }
    piece->setPointsVisible(piece->count() == 1);
    m_to = reading.time;
    m_low = qMin(m_low, reading.number);
    m_high = qMax(m_high, reading.number);
    fitAxes(true);
}

// A piece after the first is the same line to the reader: its colour, and no entry of its own
// in the legend.
void DayChart::startPiece()
{
    auto *piece = new QLineSeries;
    const QDate day = m_from.date();
    piece->setName(day == QDate::currentDate()
                       ? QStringLiteral("Letture di oggi")
                       : QStringLiteral("Letture del %1").arg(day.toString(QStringLiteral("dd/MM/yyyy"))));
    m_chart->addSeries(piece);
    piece->attachAxis(m_time);
    piece->attachAxis(m_values);
    if (!m_pieces.isEmpty()) {
        piece->setColor(m_pieces.first()->color());
        for (QLegendMarker *marker : m_chart->legend()->markers(piece))
            marker->setVisible(false);
    }
    m_pieces.append(piece);
}

void DayChart::fitAxes(bool keepNiceRange)
{
    const QDateTime to = m_from == m_to ? m_from.addSecs(60) : m_to;
    m_time->setFormat(m_from.secsTo(to) < 600 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    m_time->setRange(m_from, to);
    for (const auto &[line, level] : std::as_const(m_levelLines))
        line->replace({QPointF(double(m_from.toMSecsSinceEpoch()), level), QPointF(double(to.toMSecsSinceEpoch()), level)});
    // A reading inside the nice range the axis has leaves it as it is: the labels do not jump.
    if (keepNiceRange && m_low >= m_values->min() && m_high <= m_values->max())
        return;
    const double pad = m_high > m_low ? (m_high - m_low) * 0.08 : qMax(qAbs(m_high) * 0.01, 0.01);
    // Prices never go below nought, and neither should their axis because a level is far off.
    m_values->setRange(m_low >= 0 ? qMax(0.0, m_low - pad) : m_low - pad, m_high + pad);
    m_values->applyNiceNumbers();
}

QList<QPointF> DayChart::points() const
{
    QList<QPointF> all;
    for (const QLineSeries *piece : m_pieces)
        all += piece->points();
    return all;
}
