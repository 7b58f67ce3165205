#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "panes/ValueReading.h"

// Reads followed values of an address that no pane shows, in a page of its own out of sight,
// so that a value is kept up to date while the panes show other pages. No engine here: the
// program is given the engine's reader, a test may pass a double.
class BackgroundReading : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackgroundReading)
public:
    ~BackgroundReading() override = default;

    // Reads places, all of address, once; asks made meanwhile wait their turn. Each place comes
    // back in valuesRead, read or not with the reason, within a bounded time.
    virtual void read(const QString &address, const QList<ValuePlace> &places) = 0;

signals:
    void valuesRead(const QList<ValueReading> &readings);

protected:
    explicit BackgroundReading(QObject *parent = nullptr)
        : QObject(parent)
    {
    }
};
