// Preloaded into the built program by tst_wayland (LD_PRELOAD), so that the program runs as it
// ships: reports on standard error each main window the platform has shown, and presses
// "Nuova" in the first one, as a user would.

#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class WindowProbe final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose)
            QTimer::singleShot(0, this, [this, window = QPointer<QWindow>(qobject_cast<QWindow *>(watched))] {
                if (window)
                    report(window);
            });
        return false;
    }

private:
    void report(QWindow *window)
    {
        if (!window->isExposed() || m_seen.contains(window))
            return;
        QWidget *widget = nullptr;
        for (QWidget *topLevel : QApplication::topLevelWidgets()) {
            if (topLevel->windowHandle() == window && topLevel->inherits("MainWindow"))
                widget = topLevel;
        }
        if (!widget)
            return;
        m_seen.append(window);
        std::fprintf(stderr, "window-probe: shown on %s: %s\n", qPrintable(QGuiApplication::platformName()),
                     qPrintable(window->title()));
        if (m_seen.size() == 1) {
            for (QAbstractButton *button : widget->findChildren<QAbstractButton *>()) {
                if (button->text() == QLatin1String("Nuova"))
                    button->click();
            }
        }
    }

    QList<QWindow *> m_seen;
};

void install()
{
    qApp->installEventFilter(new WindowProbe(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
