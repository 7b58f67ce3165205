#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QWidget>

class FollowedValues;
class QLabel;
class StripModel;

// "Striscia dei valori": a small frameless window kept above the others, one line per value,
// moved by dragging its title line and sized by its corner. Its place and size are kept in the
// program's settings when it hides; which values it shows, when the user changes them; that it
// is closed, when the user closes it.
class StripWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StripWindow)
public:
    StripWindow(StripModel &model, FollowedValues &values, QWidget *parent = nullptr);
    ~StripWindow() override;

    // The lines, and where each is on them.
    QWidget &lines() const;
    QRect lineRect(int row) const;
    // Where the compositor does not keep a window above on the program's word (GNOME and KDE on
    // Wayland), how the user does it; empty elsewhere.
    static QString keepAboveHint(const QString &platformName);

signals:
    void valueChosen(qint64 id);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void closeByHand();
    void toggleValue(qint64 id, bool shown);

    StripModel &m_model;
    FollowedValues &m_values;
    QLabel *m_title;
    QWidget *m_lines;
    // Where the pointer took the window, for a move by hand where the desktop offers none.
    QPoint m_grab;
    bool m_movingByHand = false;
};
