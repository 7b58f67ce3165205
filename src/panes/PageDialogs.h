#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The questions a page may put to the user, in Italian and over the window, for the moments
// when the user has asked for them. Each returns when the user has answered; the site says
// who is asking, since a page can write anything in its text.
namespace PageDialogs {

void alert(QWidget *parent, const QString &site, const QString &text);
bool confirm(QWidget *parent, const QString &site, const QString &text);
// false when cancelled; otherwise *answer holds what was typed.
bool prompt(QWidget *parent, const QString &site, const QString &text, const QString &proposed, QString *answer);
// false when cancelled; otherwise *user and *password hold what was typed.
bool login(QWidget *parent, const QString &site, const QString &realm, QString *user, QString *password);
// Empty when cancelled.
QStringList chooseFiles(QWidget *parent, bool several);

} // namespace PageDialogs
