#include "favorites/ProgramLaunchers.h"

#include <QAbstractButton>
#include <QCoreApplication>

#include "common/Controls.h"
#include "common/ProcessStarter.h"
#include "favorites/Launchers.h"
#include "panes/BrowserPane.h"

ProgramLaunchers::ProgramLaunchers(const Controls &controls, BrowserPane &upperPane, ProcessStarter &starter,
                                   const QString &folder, QObject *parent)
    : QObject(parent)
    , m_upperPane(upperPane)
    , m_starter(starter)
    , m_folder(folder)
{
    connect(controls.edit, &QAbstractButton::clicked, this, &ProgramLaunchers::editAddress);
    connect(controls.newWindow, &QAbstractButton::clicked, this, &ProgramLaunchers::openNewWindow);
    connect(controls.clock, &ClickLabel::clicked, this, &ProgramLaunchers::startSiblingTool);
}

void ProgramLaunchers::editAddress()
{
    const QString editor = Launchers::findTextEditor();
    if (!editor.isEmpty())
        m_starter.startDetached(editor, {m_address}, m_folder);
}

void ProgramLaunchers::openNewWindow()
{
    emit newWindowAsked(m_upperPane.locationUrl());
}

void ProgramLaunchers::startSiblingTool()
{
    const QString tool = Launchers::findSiblingTool(QCoreApplication::applicationDirPath());
    if (!tool.isEmpty())
        m_starter.startDetached(tool, {}, m_folder);
}
