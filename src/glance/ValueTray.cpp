#include "glance/ValueTray.h"

#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

ValueTray::ValueTray(QObject *parent)
    : QObject(parent)
    , m_menu(std::make_unique<QMenu>())
    , m_icon(new QSystemTrayIcon(this))
{
    m_icon->setObjectName(QStringLiteral("valueTray"));
    m_menu->addAction(QStringLiteral("Valori seguiti"), this, &ValueTray::followedValuesAsked);
    m_menu->addAction(QStringLiteral("Striscia dei valori"), this, &ValueTray::stripAsked);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Esci"), this, &ValueTray::quitAsked);
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit clicked();
    });
}

// The icon goes before its menu, which it refers to.
ValueTray::~ValueTray()
{
    delete m_icon;
}

void ValueTray::show(const TrayPicture::Figure &figure, const QString &toolTip)
{
    m_figure = figure;
    // Each change is a message to the tray's host: a reading that leaves them as they were
    // sends none.
    if (m_drawn != figure) {
        QIcon icon;
        for (const int size : {22, 44})
            icon.addPixmap(QPixmap::fromImage(TrayPicture::draw(figure, size)));
        m_icon->setIcon(icon);
        m_drawn = figure;
    }
    if (m_toolTip != toolTip) {
        m_toolTip = toolTip;
        m_icon->setToolTip(toolTip);
    }
    if (!m_icon->isVisible())
        m_icon->show();
}

void ValueTray::hide()
{
    m_icon->hide();
}

bool ValueTray::isVisible() const
{
    return m_icon->isVisible();
}
