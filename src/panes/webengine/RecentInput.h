#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWidget;

// When the user last pressed a mouse button or a key inside one widget and its children.
// A page's script can fake a click inside the page, never an input event of the toolkit's,
// so this tells what the user asked for from what a page does by itself.
class RecentInput final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecentInput)
public:
    // A user still at the page's field, not one who left the keyboard there: the automatic
    // refresh waits for the one, never for the other.
    static constexpr int TypingMs = 20000;

    explicit RecentInput(QWidget &root, QObject *parent = nullptr);

    // A press in the widget within the last ms milliseconds.
    bool within(int ms) const;
    // A key pressed in the widget within the last ms milliseconds; forget() leaves it.
    bool keyWithin(int ms) const;
    // Spends the press, so that one click allows one thing.
    void forget();
    // A press within ms that has allowed fewer than times things so far; a true answer spends
    // one of them. Bounds what a page's script can ride on one click of the user's.
    bool allows(int ms, int times);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_root;
    QElapsedTimer m_sincePress;
    QElapsedTimer m_sinceKey;
    int m_spent = 0;
};
