#pragma once

#include <QLocale>

class QCoreApplication;

// Qt's own texts (standard buttons, the file chooser, key names) and the web engine's, in
// Italian when that is the system's language. The program's own texts are Italian whatever
// the language; Qt's in another language would only mix two.
namespace QtTranslations {

// Returns how many of Qt's catalogues were installed; none when Debian's translations
// package is missing, and Qt's texts stay English.
int installItalian(QCoreApplication &app, const QLocale &locale = QLocale::system());

} // namespace QtTranslations
