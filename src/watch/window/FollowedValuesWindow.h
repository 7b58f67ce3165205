#pragma once

#include <QList>
#include <QWidget>

#include "market/Markets.h"
#include "panes/BrowserPane.h"

class AlertHistoryModel;
class DayChart;
class FollowedValuesModel;
class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

// "Valori seguiti": the list of followed values, a view of their model that the user may sort
// by any column, and the day's chart of the one chosen. Shows what it is given; what the user
// asks for leaves as signals.
class FollowedValuesWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FollowedValuesWindow)
public:
    explicit FollowedValuesWindow(FollowedValuesModel &model, QWidget *parent = nullptr);
    ~FollowedValuesWindow() override;

    // The value chosen in the list; 0 for none.
    qint64 chosenId() const;
    void choose(qint64 id);
    DayChart &chart() const { return *m_chart; }
    // The list "Avvisi" under the values.
    void showAlertHistory(AlertHistoryModel &alerts);
    // A line over the list, such as a year the market's calendar does not know; empty for none.
    void setNote(const QString &note);
    // Shows the interval of the reading out of sight; tells no one.
    void setIntervalMinutes(int minutes);

signals:
    // Another value is chosen; 0 for none.
    void chosenChanged(qint64 id);
    void renameAsked(qint64 id);
    void levelAsked(qint64 id, BrowserPane::ValueAsk which);
    void alertsCleared(qint64 id);
    void marginAsked(qint64 id);
    void exportAsked(qint64 id);
    // "Esporta…" and "Importa…": the whole watch, whatever is chosen.
    void watchExportAsked();
    void watchImportAsked();
    void unfollowAsked(qint64 id);
    void intervalChosen(int minutes);
    void marketChosen(qint64 id, MarketId market);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The window's place, its columns' widths and the sorting, kept between runs.
    void saveViewState() const;
    void restoreViewState();
    void rowsCameOrWent();
    void checkChosen();
    void showRowMenu(const QPoint &at);

    FollowedValuesModel &m_model;
    QSortFilterProxyModel *m_sorted;
    QLabel *m_empty;
    QLabel *m_note;
    QTableView *m_alerts;
    QTableView *m_table;
    DayChart *m_chart;
    QComboBox *m_interval;
    QList<QPushButton *> m_valueButtons;
    qint64 m_chosen = 0;
    bool m_widthsKept = false;
};
