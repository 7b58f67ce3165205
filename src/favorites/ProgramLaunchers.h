#pragma once

#include <QObject>
#include <QString>

class BrowserPane;
class ClickLabel;
class ProcessStarter;
class QAbstractButton;

// The buttons that start other programs: "Edit" opens the address box's text in a text
// editor and a click on the clock starts the sibling tool; a program that is missing or fails
// to start is silent. "Nuova" asks for a new window of this program on the upper pane's page:
// one process for every window, so that all of them share the user's logins.
class ProgramLaunchers final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramLaunchers)
public:
    struct Controls
    {
        QAbstractButton *edit;
        QAbstractButton *newWindow;
        ClickLabel *clock;
    };

    ProgramLaunchers(const Controls &controls, BrowserPane &upperPane, ProcessStarter &starter,
                     const QString &folder, QObject *parent = nullptr);

    // What the address box holds; "Edit" opens it.
    void setAddress(const QString &address) { m_address = address; }

    void editAddress();
    void openNewWindow();
    void startSiblingTool();

signals:
    void newWindowAsked(const QString &address);

private:
    QString m_address;
    BrowserPane &m_upperPane;
    ProcessStarter &m_starter;
    QString m_folder;
};
