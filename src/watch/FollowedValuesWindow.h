#pragma once

#include <QList>
#include <QWidget>

#include "panes/BrowserPane.h"
#include "watch/FollowedRow.h"
#include "watch/ValueStore.h"

class DayChart;
class QLabel;
class QPushButton;
class QTableWidget;

// "Valori seguiti": every followed value with its last reading, its change through the day,
// whether it was read, its levels, and the day's chart of the one chosen. Shows what it is
// given; what the user asks for leaves as signals.
class FollowedValuesWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FollowedValuesWindow)
public:
    explicit FollowedValuesWindow(QWidget *parent = nullptr);
    ~FollowedValuesWindow() override;

    void setRows(const QList<FollowedRow> &rows);
    void showChart(const QString &name, const QList<ValueStore::Reading> &readings, std::optional<double> above,
                   std::optional<double> below);
    // The value chosen in the list; 0 for none.
    qint64 chosenId() const;
    void choose(qint64 id);

signals:
    void chartAsked(qint64 id);
    void renameAsked(qint64 id);
    void levelAsked(qint64 id, BrowserPane::ValueAsk which);
    void levelsCleared(qint64 id);
    void marginAsked(qint64 id);
    void exportAsked(qint64 id);
    void unfollowAsked(qint64 id);

private:
    void chosenChanged();

    QLabel *m_empty;
    QTableWidget *m_table;
    DayChart *m_chart;
    QList<QPushButton *> m_valueButtons;
    QList<FollowedRow> m_rows;
};
