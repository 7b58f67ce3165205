#pragma once

class BrowserPane;
class QWidget;

// Makes the panes of a window. The program passes the web engine's factory; window tests
// pass the recording one.
class PaneFactory
{
public:
    virtual ~PaneFactory() = default;

    // The pane's widget is a child of parent, and the pane object a child of its widget,
    // so the window's widget tree owns both.
    virtual BrowserPane *createPane(QWidget *parent) = 0;
};
