#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "market/Markets.h"

class BrowserPane;
class MainWindow;
class PaneFactory;
class ProcessStarter;

// The program's main windows. Each is whole (its own folder, files, panes, refresh cycle,
// history and calculator) and all take their panes from one factory, so they share one
// profile. A window closed is deleted at once, with its pages; the profile must outlive every
// page, so this goes before the factory does, and deletes the windows still open.
class MainWindows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindows)
public:
    // Every window asks markets, loaded once for the program, whether a pane's market is open.
    MainWindows(PaneFactory &panes, ProcessStarter &starter, Markets markets = Markets(),
                QObject *parent = nullptr);
    ~MainWindows() override;

    // The address a start of the program asks for: its arguments after its own name, joined
    // by blanks, so that an address with blanks may be given unquoted.
    static QString addressFrom(const QStringList &arguments);

    // Shown in front; address empty gives the start page of the folder's settings.
    MainWindow *open(const QString &address, const QString &folder);
    // For another start of the program, with the token its desktop gave it (may be empty).
    MainWindow *openForStart(const QString &address, const QString &folder, const QByteArray &token);
    QList<MainWindow *> windows() const;

signals:
    // Each pane of a window just opened, for the parts that serve every window's panes.
    void paneOpened(BrowserPane *pane);

private:
    PaneFactory &m_panes;
    ProcessStarter &m_starter;
    Markets m_markets;
    QList<QPointer<MainWindow>> m_windows;
};
