#pragma once

#include <QObject>
#include <QString>

class BrowserPane;
class ClickLabel;
class ProcessStarter;
class QAbstractButton;
class QLineEdit;

// The buttons that start other programs: "Edit" opens the address box's text in a text
// editor, "Nuova" starts this program again on the upper pane's page, and a click on the
// clock starts the sibling tool. A program that is missing or fails to start is silent.
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

    ProgramLaunchers(const Controls &controls, QLineEdit &addressBox, BrowserPane &upperPane,
                     ProcessStarter &starter, const QString &folder, QObject *parent = nullptr);

    // "Nuova" starts this file; by default the running program's own, never a PATH lookup.
    void setOwnProgram(const QString &path) { m_ownProgram = path; }

    void editAddress();
    void openNewWindow();
    void startSiblingTool();

private:
    QLineEdit &m_addressBox;
    BrowserPane &m_upperPane;
    ProcessStarter &m_starter;
    QString m_folder;
    QString m_ownProgram;
};
