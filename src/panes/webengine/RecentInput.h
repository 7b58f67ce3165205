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
    // How long a page's request still counts as the user's, after the user's press in the
    // pane or after a navigation the user asked for (GO, Home, back, forward).
    enum class Policy {
        Asked,             // 2 s after a press: a page's question, a new window, a download
        LeaveAfterRequest, // 5 s after a navigation: the page's "leave this page?" means yes
        LoginAfterPress,   // 10 s after a click on a link: the site may be slow to want a login
        Typing,            // 20 s after a key in the page: a user still at a field, not one who
                           // left the keyboard there; the automatic refresh waits for that
        LoginAfterRequest, // 30 s after a navigation: as long as a refresh may wait for a site
    };
    static constexpr int milliseconds(Policy policy)
    {
        switch (policy) {
        case Policy::Asked:
            return 2000;
        case Policy::LeaveAfterRequest:
            return 5000;
        case Policy::LoginAfterPress:
            return 10000;
        case Policy::Typing:
            return 20000;
        case Policy::LoginAfterRequest:
            return 30000;
        }
        return 0;
    }

    explicit RecentInput(QWidget &root, QObject *parent = nullptr);

    // A press in the widget within the last ms milliseconds, or the policy's time.
    bool within(int ms) const;
    bool within(Policy policy) const { return within(milliseconds(policy)); }
    // A key pressed in the widget within the last ms milliseconds; forget() leaves it.
    bool keyWithin(int ms) const;
    // Spends the press, so that one click allows one thing.
    void forget();
    // A press within ms that has allowed fewer than times things so far; a true answer spends
    // one of them. Bounds what a page's script can ride on one click of the user's.
    bool allows(Policy policy, int times);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_root;
    QElapsedTimer m_sincePress;
    QElapsedTimer m_sinceKey;
    int m_spent = 0;
};
