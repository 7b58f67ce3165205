#pragma once

#include <memory>
#include <optional>

#include <QObject>

#include "glance/TrayPicture.h"

class QMenu;
class QSystemTrayIcon;

// The tray's item: its icon and tooltip set only when they read differently, a click, and its
// menu. What it shows is given; what the user asks for leaves as signals.
class ValueTray final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ValueTray)
public:
    explicit ValueTray(QObject *parent = nullptr);
    ~ValueTray() override;

    void show(const TrayPicture::Figure &figure, const QString &toolTip);
    void hide();
    bool isVisible() const;
    QString toolTip() const { return m_toolTip; }
    TrayPicture::Figure figure() const { return m_figure; }

signals:
    void clicked();
    void followedValuesAsked();
    void stripAsked();
    void quitAsked();

private:
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon *m_icon;
    std::optional<TrayPicture::Figure> m_drawn;
    TrayPicture::Figure m_figure;
    QString m_toolTip;
};
