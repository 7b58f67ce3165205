#include "watch/rules/LevelCrossing.h"

#include <algorithm>
#include <cmath>

void LevelCrossing::setLevels(const Levels &levels)
{
    if (levels.above != m_levels.above)
        m_aboveArmed = true;
    if (levels.below != m_levels.below)
        m_belowArmed = true;
    m_levels = levels;
}

double LevelCrossing::margin(double level) const
{
    return std::abs(level) * std::max(0.0, m_levels.marginPercent) / 100.0;
}

LevelCrossing::Crossed LevelCrossing::feed(std::optional<double> number)
{
    if (!number || !std::isfinite(*number))
        return Crossed::None;
    const double value = *number;
    Crossed crossed = Crossed::None;
    if (const auto level = m_levels.above) {
        if (m_aboveArmed && value >= *level) {
            m_aboveArmed = false;
            crossed = Crossed::Above;
        } else if (!m_aboveArmed && value <= *level - margin(*level)) {
            m_aboveArmed = true;
        }
    }
    if (const auto level = m_levels.below) {
        if (m_belowArmed && value <= *level) {
            m_belowArmed = false;
            // Both levels at once only when they overlap; the one below is then as true.
            if (crossed == Crossed::None)
                crossed = Crossed::Below;
        } else if (!m_belowArmed && value >= *level + margin(*level)) {
            m_belowArmed = true;
        }
    }
    return crossed;
}
