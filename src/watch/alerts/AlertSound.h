#pragma once

#include <QObject>
#include <QThreadPool>

// The alert's short sound, from the desktop: the "message-new-instant" event of the user's sound
// theme through libcanberra, silent where the desktop has event sounds turned off. It plays on
// a thread of its own, started at the first sound, so that the window never waits for a sound
// server that is slow or missing, and a program that never alerts pays nothing for it.
class AlertSound final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertSound)
public:
    enum class Outcome { Played, EventSoundsOff, Failed };
    Q_ENUM(Outcome)

    explicit AlertSound(QObject *parent = nullptr);

    void play();

signals:
    void finished(AlertSound::Outcome outcome);

private:
    QThreadPool m_worker;
};
