#pragma once

#include <memory>

#include <QHash>
#include <QString>
#include <QWidget>

#include "aids/RefreshCycle.h"
#include "aids/ScrollHold.h"

class BrowserPane;
class Calculator;
class ClickLabel;
class Form3;
class PaneFactory;
class ProcessStarter;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class ShapeCircle;

// The main window: two web panes stacked one above the other and the tools around them.
// Controls carry their designer names as object names; handlers are named after control
// and event.
class Form1 final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)
public:
    // arguments: the program's command-line arguments after its own name.
    Form1(PaneFactory &panes, const QStringList &arguments, QWidget *parent = nullptr);
    ~Form1() override;

    // Public variables; the settings editor assigns some of them.
    QString TextLine1, TextLine2, TextLine3, TextLine4, TextLine5, TextLine6, TextLine7;
    QString TextLine8, TextLine9, TextLine10, TextLine11, Textline12, Textline13;
    QString MyFile1;
    QString Comando;
    QString Nuovo;
    QString Dirpart;

    BrowserPane *WB1() const { return m_wb1; }
    BrowserPane *WB3() const { return m_wb3; }

    // The settings editor, or null while it has not been created.
    Form3 *form3() const { return m_form3.get(); }

    // The calculator, or null while it has not been opened.
    Calculator *calculator() const { return m_calculator.get(); }

    // Launchers start programs through this; tests put a recording one in.
    void setProcessStarter(ProcessStarter *starter);
    ProcessStarter *processStarter() const { return m_starter; }
    // "Nuova" starts this program file; by default the running program's own.
    void setOwnProgram(const QString &path) { m_ownProgram = path; }

    // The site buttons in their order on screen, site 1 first.
    QPushButton *siteButton(int site) const;
    void setSiteCaption(int site, const QString &caption);

    // Handlers.
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void Command4_Click();
    void Command3_Click();
    void Command6_Click();
    void Command14_Click();
    void Command16_Click();
    void Command17_Click();
    void Command13_Click();

    // Pane navigation.
    void Command5_Click();
    void Command7_Click();
    void Command11_Click();
    void Image1_Click();
    void Command22_Click();
    void Command21_Click();
    void Command18_Click();
    void Command19_Click();
    void Command20_Click();
    void Image2_Click();
    void Command23_Click();
    void Command24_Click();
    void Text1_KeyPress(int keyAscii);
    void WB1_GotFocus();
    void WB3_GotFocus();
    void Check1_Click();
    void Check2_Click();

    // History and local page lists.
    void Command8_Click();
    void List1_Click();
    void Command2_Click();
    void File1_Click();

    // Scroll hold, clock and automatic refresh.
    void Command26_Click();
    void VScroll1_Scroll();
    void VScroll2_Scroll();
    void Timer3_Timer();
    void Command10_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Command9_Click();
    void Label2_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Timer4_Timer();

    // Favorites and launchers.
    void Command1_Click();
    void Command15_Click();
    void Command25_Click();
    void Command12_Click();
    void Label1_Click();
    void Image6_Click();
    void Image5_Click();

    qint16 RefreshCountdown() const { return m_cycle.countdown(); }
    qint16 RefreshPeriod() const { return m_cycle.period(); }
    const ScrollHold &hold(int pane) const { return pane == 1 ? m_hold1 : m_hold2; }

    // The names the local page list shows for folder: its web pages, matched as the
    // pattern "*.htm" matches on Windows (".htm" and ".html", any letter case).
    static QStringList localPages(const QString &folder);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    template<typename T>
    T *control(const char *name) const;

    void buildControls();
    void wireControls();
    Form3 *ensureForm3();
    void goAddress(BrowserPane *pane);
    void showHoldFlag(int pane);
    void scrollThumbDragged(int pane);
    void chooseInterval(qint16 seconds);
    void addFavorite(BrowserPane *pane);

    QHash<QString, QWidget *> m_controls;
    BrowserPane *m_wb1 = nullptr;
    BrowserPane *m_wb3 = nullptr;
    std::unique_ptr<Form3> m_form3;
    std::unique_ptr<Calculator> m_calculator;
    std::unique_ptr<ProcessStarter> m_systemStarter;
    ProcessStarter *m_starter = nullptr;
    QString m_ownProgram;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    QTimer *m_timer3 = nullptr;
    QTimer *m_timer4 = nullptr;
    RefreshCycle m_cycle;
    ScrollHold m_hold1;
    ScrollHold m_hold2;
    bool m_unloaded = false;
};
