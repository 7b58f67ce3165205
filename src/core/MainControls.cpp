#include "core/MainControls.h"

#include "common/Colors.h"

void MainControls::build(QWidget *window)
{
    using K = ControlKind;
    using F = FontRole;

    // The window's design: every control with its member, designer name, kind, caption, tooltip
    // and position in twips. Pictures name their image as caption.
    const DesignRow design[] = {
        // Top tool rows.
        {localPages, {"Command2", K::Button, "File", "", 90, 45, 420, 285, true, F::Narrow825}},
        {sites[0], {"Command3", K::Button, "", "", 630, 45, 780, 285, true, F::Narrow825}},
        {sites[1], {"Command6", K::Button, "", "", 1440, 45, 870, 285, true, F::Narrow825}},
        {sites[2], {"Command14", K::Button, "", "", 2340, 45, 780, 285, true, F::Narrow825}},
        {sites[3], {"Command16", K::Button, "", "", 3150, 45, 780, 285, true, F::Narrow825}},
        {sites[4], {"Command17", K::Button, "", "", 3960, 45, 825, 285, true, F::Narrow825}},
        {sites[5], {"Command13", K::Button, "", "", 4815, 45, 870, 285, true, F::Narrow825}},
        {configure, {"Command4", K::Button, "Configura", "", 5895, 45, 735, 285, true, F::Narrow825}},
        {refresh.light, {"Shape1", K::Shape, "", "", 6840, 90, 240, 195, true, F::Inherit}},
        {refresh.countdown, {"Label2", K::Label, "000", "", 7245, 45, 420, 240, true, F::SansSerif975Bold}},
        {refresh.chosen[0], {"Check3", K::CheckBox, "Br1", "", 7740, 45, 555, 330, true, F::SansSerif825}},
        {clock, {"Label1", K::Label, "12.60.60", "Aggiorna il Tempo", 8370, 45, 870, 240, true, F::SansSerif975Bold}},
        {history, {"Command8", K::Button, "Storico", "", 9360, 45, 735, 285, true, F::Narrow825}},
        {calculator, {"Image6", K::Picture, ":/quovadex/calculator.svg", "Euro Calcolatore", 10170, 135, 450, 480, true, F::Inherit}},
        {info, {"Image5", K::Picture, ":/quovadex/info.svg", "Info", 10665, 135, 480, 480, true, F::Inherit}},
        {address, {"Text1", K::TextBox, "http://", "", 90, 405, 6540, 285, true, F::SansSerif825}},
        {edit, {"Command25", K::Button, "Edit", "Edita il file Preferiti", 6705, 405, 465, 285, true, F::Narrow825}},
        {refresh.toggle, {"Command10", K::Button, "Auto", "Abilital'aggiornamento automatico", 7245, 405, 420, 285, true, F::Narrow825}},
        {refresh.chosen[1], {"Check4", K::CheckBox, "Br2", "", 7740, 450, 555, 240, true, F::SansSerif825}},
        {refresh.reloadNow, {"Command9", K::Button, "Aggiorna", "", 8370, 405, 870, 285, true, F::Narrow825}},
        {newWindow, {"Command12", K::Button, "Nuova", "", 9360, 405, 735, 285, true, F::Narrow825}},
        {applyHolds, {"Command26", K::Button, "Controllo Scroll", "", 11250, 405, 1185, 285, false, F::SansSerif825}},
        // Upper pane's column and scroll hold.
        {upper.back, {"Command5", K::Button, "<", "Indietro", 90, 765, 285, 420, true, F::Inherit}},
        {upper.forward, {"Command7", K::Button, ">", "Avanti", 90, 1260, 285, 420, true, F::Inherit}},
        {upper.go, {"Command11", K::Button, "GO", "Vai alla pagina", 90, 1755, 285, 600, true, F::Inherit}},
        {upper.home, {"Image1", K::Picture, ":/quovadex/home.svg", "Home", 45, 2475, 405, 345, true, F::Inherit}},
        {upper.stop, {"Command22", K::GraphicalButton, "X", "Stop", 90, 2925, 285, 285, true, F::Inherit}},
        {upper.favorite, {"Command1", K::Button, "+P", "Aggiungi a Preferiti", 90, 3285, 285, 465, true, F::Inherit}},
        {upper.reload, {"Command21", K::Button, "A", "Aggiorna la pagina", 90, 3825, 285, 375, true, F::Inherit}},
        {upper.holdBox, {"Check1", K::CheckBox, "", "", 12690, 765, 240, 195, true, F::SansSerif825}},
        {upper.holdBar, {"VScroll1", K::VScroll, "", "", 12690, 990, 240, 2760, true, F::Inherit}},
        // Lower pane's column and scroll hold.
        {lower.back, {"Command18", K::Button, "<", "Indietro", 90, 4725, 285, 420, true, F::Inherit}},
        {lower.forward, {"Command19", K::Button, ">", "Avanti", 90, 5220, 285, 420, true, F::Inherit}},
        {lower.go, {"Command20", K::Button, "GO", "Vai alla pagina", 90, 5715, 285, 600, true, F::Inherit}},
        {lower.home, {"Image2", K::Picture, ":/quovadex/home.svg", "Home", 45, 6435, 405, 345, true, F::Inherit}},
        {lower.stop, {"Command23", K::GraphicalButton, "X", "Stop", 90, 6885, 285, 285, true, F::Inherit}},
        {lower.favorite, {"Command15", K::Button, "+P", "Aggiungi a Preferiti", 90, 7245, 285, 510, true, F::Inherit}},
        {lower.reload, {"Command24", K::Button, "A", "Aggiorna la pagina", 90, 7830, 285, 375, true, F::Inherit}},
        {lower.holdBox, {"Check2", K::CheckBox, "", "", 12690, 4005, 240, 195, true, F::SansSerif825}},
        {lower.holdBar, {"VScroll2", K::VScroll, "", "", 12690, 4230, 240, 3165, true, F::Inherit}},
        // Lists and options that lie over the upper pane when shown; last, so they are on top.
        {localPageList, {"File1", K::FileList, "", "", 450, 765, 4695, 2625, false, F::Inherit}},
        {historyList, {"List1", K::ListBox, "", "", 2430, 765, 5730, 1425, false, F::SansSerif825}},
        {refresh.intervals[0], {"Option1", K::Option, "1 min.", "", 7335, 765, 915, 510, false, F::Inherit}},
        {refresh.intervals[1], {"Option2", K::Option, "2 min.", "", 7335, 1260, 915, 510, false, F::Inherit}},
        {refresh.intervals[2], {"Option3", K::Option, "3 min.", "", 7335, 1755, 915, 510, false, F::Inherit}},
    };
    createControls(window, design);
    for (QPushButton *stop : {upper.stop, lower.stop})
        Colors::setBackColor(stop, Colors::LightRed);
}
