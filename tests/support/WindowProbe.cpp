// Preloaded into the built program by tst_wayland (LD_PRELOAD), so that the program runs as it
// ships: reports on standard error each main window once the platform has shown it, and presses
// "Nuova" in the first, as a user would.

#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWindow>

namespace {

class WindowProbe final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (event->type() != QEvent::Expose || !window || !window->isExposed() || m_seen.contains(window))
            return false;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->windowHandle() != window || !widget->inherits("MainWindow"))
                continue;
            m_seen.append(window);
            std::fprintf(stderr, "window-probe: shown on %s: %s\n", qPrintable(QGuiApplication::platformName()),
                         qPrintable(window->title()));
            const auto buttons = widget->findChildren<QAbstractButton *>();
            for (QAbstractButton *button : buttons) {
                if (m_seen.size() == 1 && button->text() == QLatin1String("Nuova"))
                    QTimer::singleShot(0, button, &QAbstractButton::click);
            }
        }
        return false;
    }

private:
    QList<QWindow *> m_seen;
};

void install()
{
    qApp->installEventFilter(new WindowProbe(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
