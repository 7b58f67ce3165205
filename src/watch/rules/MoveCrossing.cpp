#include "watch/rules/MoveCrossing.h"

#include <algorithm>
#include <cmath>

namespace {

// A threshold the page writes with its decimals (3 % of 10,50 is 10,815) counts as reached,
// whatever the last bit of the arithmetic that made it: the threshold is eased toward the
// reference by far less than any price's last digit.
constexpr double ease = 1e-9;

std::optional<double> percentFrom(double reference, double number)
{
    if (reference == 0)
        return std::nullopt;
    return (number - reference) / std::abs(reference) * 100.0;
}

} // namespace

bool MoveCrossing::setMove(const Move &move)
{
    if (!(move.percent > 0) || !std::isfinite(move.percent))
        return false;
    if (move.reference == Reference::WithinMinutes && move.minutes <= 0)
        return false;
    m_move = move;
    arm();
    return true;
}

void MoveCrossing::setPreviousClose(std::optional<double> close)
{
    m_close = close && std::isfinite(*close) && *close != 0 ? close : std::nullopt;
    arm();
}

void MoveCrossing::arm()
{
    const double p = m_move.percent;
    LevelCrossing::Levels fromClose{std::nullopt, std::nullopt, m_move.marginPercent};
    // The close may come before any move: a step of nothing would alert at every reading.
    if (p > 0 && m_move.reference == Reference::PreviousClose && m_close) {
        const double step = std::abs(*m_close) * p / 100.0;
        const double above = *m_close + step;
        const double below = *m_close - step;
        fromClose.above = above - std::abs(above) * ease;
        fromClose.below = below + std::abs(below) * ease;
    }
    m_fromClose.setLevels(fromClose);

    // The window's crossings are fed moves in percent, whose margin is then a share of the
    // threshold: the same margin of the price as a level's.
    LevelCrossing::Levels rise;
    LevelCrossing::Levels fall;
    if (m_move.reference == Reference::WithinMinutes) {
        rise.above = p * (1 - ease);
        fall.below = -p * (1 - ease);
        rise.marginPercent = fall.marginPercent = m_move.marginPercent * 100.0 / p;
    }
    m_rise.setLevels(rise);
    m_fall.setLevels(fall);
}

int MoveCrossing::alertedSides() const
{
    const bool up = !m_fromClose.isAboveArmed() || !m_rise.isAboveArmed();
    const bool down = !m_fromClose.isBelowArmed() || !m_fall.isBelowArmed();
    return (up ? 1 : 0) | (down ? 2 : 0);
}

void MoveCrossing::setAlertedSides(int sides)
{
    const bool up = sides & 1;
    const bool down = sides & 2;
    m_fromClose.setAlerted(up, down);
    m_rise.setAlerted(up, false);
    m_fall.setAlerted(false, down);
}

QDateTime MoveCrossing::windowStart(const QDateTime &now) const
{
    return now.addSecs(-qint64(m_move.minutes) * 60);
}

MoveCrossing::Crossed MoveCrossing::feed(const QDateTime &now, std::optional<double> number,
                                         const QList<ValueStore::Reading> &recent)
{
    m_lastMove.reset();
    if (!number || !std::isfinite(*number))
        return Crossed::None;
    if (m_move.reference == Reference::WithinMinutes)
        return feedWindow(now, *number, recent);
    if (!m_close)
        return Crossed::None;
    m_lastMove = percentFrom(*m_close, *number);
    return m_fromClose.feed(*number);
}

MoveCrossing::Crossed MoveCrossing::feedWindow(const QDateTime &now, double number,
                                               const QList<ValueStore::Reading> &recent)
{
    const QDateTime start = windowStart(now);
    double low = number;
    double high = number;
    for (const ValueStore::Reading &reading : recent) {
        if (reading.time < start || reading.time > now || !std::isfinite(reading.number))
            continue;
        low = std::min(low, reading.number);
        high = std::max(high, reading.number);
    }
    const std::optional<double> rise = percentFrom(low, number);
    const std::optional<double> fall = percentFrom(high, number);
    const Crossed rose = m_rise.feed(rise);
    const Crossed fell = m_fall.feed(fall);

    const bool riseIsLarger = rise.value_or(0) >= -fall.value_or(0);
    if (rose == Crossed::Above && (fell == Crossed::None || riseIsLarger)) {
        m_lastMove = rise;
        return Crossed::Above;
    }
    if (fell == Crossed::Below) {
        m_lastMove = fall;
        return Crossed::Below;
    }
    m_lastMove = riseIsLarger ? rise : fall;
    return Crossed::None;
}
