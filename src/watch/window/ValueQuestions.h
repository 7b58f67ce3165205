#pragma once

#include <optional>

#include <QObject>
#include <QString>

#include "watch/rules/MoveCrossing.h"

class QWidget;

// What the user is asked about a followed value, in Italian whatever the desktop's language:
// an alert level, the margin, a name, whether to stop following it, where to export it. An
// answer the program can use comes back as a signal; a level or a margin that is no number, or
// out of range, is refused with the reason and asked again with what was typed.
class ValueQuestions final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ValueQuestions)
public:
    explicit ValueQuestions(QObject *parent = nullptr) : QObject(parent) {}

    // Opens the level's dialog over the window given and returns at once.
    void askLevel(qint64 id, const QString &name, bool above, std::optional<double> shown, QWidget *over);
    void askMargin(qint64 id, double percent, QWidget *over);
    // "Avvisami se varia del…": a percentage and what it is measured from; opens and returns.
    void askMove(qint64 id, const QString &name, const MoveCrossing::Move &shown, QWidget *over);
    void askName(qint64 id, const QString &name, QWidget *over);
    void askUnfollow(qint64 id, const QString &name, QWidget *over);
    void askExportPath(qint64 id, const QString &name, QWidget *over);

signals:
    // No level: the user emptied the box, and wants no alert on that side.
    void levelGiven(qint64 id, bool above, std::optional<double> level);
    void marginGiven(qint64 id, double percent);
    // No move: the user emptied the percentage, and wants no alert on a move.
    void moveGiven(qint64 id, const std::optional<MoveCrossing::Move> &move);
    void nameGiven(qint64 id, const QString &name);
    void unfollowConfirmed(qint64 id);
    void exportPathGiven(qint64 id, const QString &path);

private:
    void openMoveDialog(qint64 id, const QString &name, const MoveCrossing::Move &shown, const QString &text, QWidget *over);
    void openLevelDialog(qint64 id, const QString &name, bool above, const QString &text, QWidget *over);
};
