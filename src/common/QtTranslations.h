#pragma once

class QCoreApplication;

// Qt's own texts (standard buttons, the file chooser, key names) and the web engine's, in
// Italian whatever the system's language, as the program's own texts are: on a desktop in
// another language the file chooser of "Esporta CSV" would otherwise speak English in an
// Italian window.
namespace QtTranslations {

// Returns how many of Qt's catalogues were installed; none when Debian's translations
// package is missing, and Qt's texts stay English.
int installItalian(QCoreApplication &app);

} // namespace QtTranslations
