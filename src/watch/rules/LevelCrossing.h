#pragma once

#include <optional>

// When one followed value crosses its alert levels. Fed one reading at a time, it says which
// level, if any, the reading has just crossed. After an alert a level stays quiet until the
// value has gone back past it by the margin, so a price wobbling around the level alerts
// once. A level set anew is armed: a value already beyond it alerts at the next reading.
class LevelCrossing final
{
public:
    struct Levels
    {
        std::optional<double> above;
        std::optional<double> below;
        // Of the level, in percent.
        double marginPercent = 0.2;
    };
    enum class Crossed { None, Above, Below };

    void setLevels(const Levels &levels);
    const Levels &levels() const { return m_levels; }

    // nullopt: the value could not be read; it neither alerts nor re-arms.
    Crossed feed(std::optional<double> number);

    // As a crossing alerted in an earlier session left it: quiet until back past the margin.
    void setAlerted(bool above, bool below)
    {
        m_aboveArmed = !above;
        m_belowArmed = !below;
    }

    bool isAboveArmed() const { return m_aboveArmed; }
    bool isBelowArmed() const { return m_belowArmed; }

private:
    double margin(double level) const;

    Levels m_levels;
    bool m_aboveArmed = true;
    bool m_belowArmed = true;
};
