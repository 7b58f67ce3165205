#pragma once

#include <array>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "common/Controls.h"
#include "core/SiteSettings.h"

// The main window's controls, reached by role. build() makes them from the window's design
// table, where each keeps its designer name as object name; the window hands each part the
// members it drives. The widgets' headers come with it, so that whoever is given a member
// can use it.
struct MainControls final
{
    Q_DISABLE_COPY_MOVE(MainControls)
    MainControls() = default;

    // The buttons, the hold box and the position bar beside one pane.
    struct PaneColumn
    {
        QPushButton *back = nullptr;
        QPushButton *forward = nullptr;
        QPushButton *go = nullptr;
        ClickLabel *home = nullptr;
        QPushButton *stop = nullptr;
        QPushButton *favorite = nullptr; // "+P"
        QPushButton *reload = nullptr;   // "A"
        QCheckBox *holdBox = nullptr;
        QScrollBar *holdBar = nullptr;
    };

    struct Refresh
    {
        QPushButton *toggle = nullptr;    // "Auto"/"Off"
        QPushButton *reloadNow = nullptr; // "Aggiorna"
        ClickLabel *countdown = nullptr;
        ShapeCircle *light = nullptr;
        std::array<QRadioButton *, 3> intervals = {}; // one, two and three minutes
        std::array<QCheckBox *, 2> chosen = {};        // "Br1", "Br2"
    };

    QLineEdit *address = nullptr;
    std::array<QAbstractButton *, SiteSettings::SiteCount> sites = {}; // left to right
    QPushButton *configure = nullptr;
    QPushButton *history = nullptr; // "Storico"
    QListWidget *historyList = nullptr;
    QPushButton *localPages = nullptr; // "File"
    QListWidget *localPageList = nullptr;
    QPushButton *edit = nullptr;
    QPushButton *newWindow = nullptr; // "Nuova"
    QPushButton *applyHolds = nullptr; // "Controllo Scroll", never shown
    ClickLabel *clock = nullptr;
    ClickLabel *calculator = nullptr;
    ClickLabel *info = nullptr;
    Refresh refresh;
    PaneColumn upper;
    PaneColumn lower;

    void build(QWidget *window);
};
