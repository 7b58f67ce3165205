#pragma once

#include <memory>

#include <QHash>
#include <QString>
#include <QWidget>

class BrowserPane;
class ClickLabel;
class Form3;
class PaneFactory;
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

    // The site buttons in their order on screen, site 1 first.
    QPushButton *siteButton(int site) const;

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

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    template<typename T>
    T *control(const char *name) const;

    void buildControls();
    Form3 *ensureForm3();

    QHash<QString, QWidget *> m_controls;
    BrowserPane *m_wb1 = nullptr;
    BrowserPane *m_wb3 = nullptr;
    std::unique_ptr<Form3> m_form3;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    QTimer *m_timer3 = nullptr;
    QTimer *m_timer4 = nullptr;
    qint16 m_refreshCountdown = 0;
    qint16 m_refreshPeriod = 0;
    bool m_unloaded = false;
};
