#pragma once

#include <optional>

#include <QDateTime>
#include <QList>

#include "watch/rules/LevelCrossing.h"
#include "watch/store/ValueStore.h"

// "Avvisami se varia del…": when one followed value has moved by a percentage, either from the
// previous close or within the last minutes. Each reading is fed as it comes and the answer is
// the direction it has just crossed. The rules are the levels' own: one alert per crossing, a
// move already made at the first reading alerts, the crossing re-arms once the move has gone
// back by the margin, and a value that could not be read neither alerts nor re-arms.
//
// Within minutes, the move is the one that ends at the reading: the rise from the lowest
// reading of the window, or the fall from its highest. The window is the readings of the
// last minutes up to the reading, both ends included; a move begun before it does not count.
class MoveCrossing final
{
public:
    enum class Reference { PreviousClose, WithinMinutes };
    struct Move
    {
        double percent = 0;
        Reference reference = Reference::PreviousClose;
        // For WithinMinutes.
        int minutes = 0;
        // Of the price, in percent, as a level's.
        double marginPercent = 0.2;
    };
    using Crossed = LevelCrossing::Crossed;

    // A percentage that is no positive number, or a window of no minute, is refused and the
    // move kept. A move changed is armed again; the same one set again stays quiet.
    bool setMove(const Move &move);
    const Move &move() const { return m_move; }
    // The close the move is measured from; none (or zero, from which no percentage is a
    // move) alerts nothing from the close.
    void setPreviousClose(std::optional<double> close);

    // The earliest reading the window of a reading at now holds, for asking the store.
    QDateTime windowStart(const QDateTime &now) const;
    // recent: the stored readings around now, used only within minutes; those outside the
    // window are left out here.
    Crossed feed(const QDateTime &now, std::optional<double> number, const QList<ValueStore::Reading> &recent = {});
    // Which sides wait to re-arm, as the store keeps them: 1 up, 2 down.
    int alertedSides() const;
    // As an alert of an earlier session left them; after setPreviousClose, which arms a new close.
    void setAlertedSides(int sides);
    bool isSet() const { return m_move.percent > 0; }

    // The last reading's move in percent, signed: the one crossed, or the larger.
    std::optional<double> movePercent() const { return m_lastMove; }

private:
    void arm();
    Crossed feedWindow(const QDateTime &now, double number, const QList<ValueStore::Reading> &recent);

    Move m_move;
    std::optional<double> m_close;
    LevelCrossing m_fromClose;
    LevelCrossing m_rise;
    LevelCrossing m_fall;
    std::optional<double> m_lastMove;
};
