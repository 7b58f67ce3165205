#pragma once

#include <memory>

#include <QString>
#include <QWidget>

#include "core/MainControls.h"
#include "core/SiteSettings.h"
#include "market/Markets.h"

class BrowserPane;
class PaneFactory;
class ProcessStarter;
class SettingsEditor;
class SiteButtons;
class CalculatorLauncher;
class PaneControls;
class PaneSplit;

// The main window, "Doppio Quovadex": two web panes stacked one above the other and the
// tools around them. It builds the controls from the design, owns the panes and the parts
// that drive them, connects the parts, and lays the panes out when its size changes. What
// each control does lives in its part.
class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)
public:
    // address: the upper pane's first page, the start page when empty. folder: the window's
    // working folder, where its files are and relative addresses point. markets: the panes' markets'
    // hours for "Aggiorna solo a mercato aperto" (weekdays only where none is given).
    MainWindow(PaneFactory &panes, ProcessStarter &starter, const QString &address, const QString &folder,
               const Markets &markets = Markets(), QWidget *parent = nullptr);
    ~MainWindow() override;

    BrowserPane *upperPane() const { return m_upperPane; }
    BrowserPane *lowerPane() const { return m_lowerPane; }
    QString workingFolder() const { return m_folder; }
    const SiteSettings &settings() const { return m_settings; }
    // The controls by role, for tests and measurements that press them as the user does.
    const MainControls &controls() const { return m_controls; }
    // Null while it has not been made: there was no settings file and no "Configura" yet.
    SettingsEditor *settingsEditor() const { return m_editor.get(); }
    // What the last window closed kept: the split between the panes, and with place, also the
    // place and size, brought onto a screen where the one it was on is gone.
    void restoreLayout(bool place);

signals:
    // "Nuova" or a page's link asks for another window on address, with this one's folder.
    void newWindowAsked(const QString &address, const QString &folder);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildParts(ProcessStarter &starter, const Markets &markets);
    void loadSettings();
    void applySettings(const SiteSettings &settings);
    SettingsEditor &editor();
    void layOut();
    void restorePlace(const QByteArray &geometry);
    void closeSecondaryWindows();

    QString m_folder;
    MainControls m_controls;
    BrowserPane *m_upperPane = nullptr;
    BrowserPane *m_lowerPane = nullptr;
    SiteSettings m_settings;
    std::unique_ptr<SettingsEditor> m_editor;
    SiteButtons *m_siteButtons = nullptr;
    PaneControls *m_upperControls = nullptr;
    CalculatorLauncher *m_calculator = nullptr;
    PaneSplit *m_split = nullptr;
};
