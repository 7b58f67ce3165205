#pragma once

#include <functional>

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// Every message box and every question the program puts to the user goes through here, so
// that a test can answer it in advance and no test ever hangs on a modal dialog.
namespace MessageBox {

enum class Kind {
    Message,    // the program's own, one OK button
    Alert,      // a page's, one OK button
    Confirm,    // a page's: OK or Annulla
    Prompt,     // a page's: a line of text
    Login,      // a site's: user name and password
    FileChoice, // a page's: files to send
};

struct Shown
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
    Kind kind = Kind::Message;
    // The window it shows over; null for none.
    const QWidget *parent = nullptr;
};

// What the user gave: whether they accepted, and what they typed or chose (a prompt's text;
// a login's user and password; the files chosen).
struct Answer
{
    bool accepted = false;
    QStringList values;
};

using Interceptor = std::function<Answer(const Shown &)>;

// With an interceptor set, boxes and questions are passed to it instead of being shown, and
// its answer is the user's.
void setInterceptor(Interceptor interceptor);
void clearInterceptor();

// One OK button; returns when the user has closed the box.
void show(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);

// Puts a question in the caller's own dialog, which dialog() shows and reads.
Answer ask(const Shown &question, const std::function<Answer()> &dialog);

} // namespace MessageBox
