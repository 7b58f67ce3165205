#pragma once

#include <functional>

#include <QMessageBox>
#include <QString>

class QWidget;

// Every message box of the program goes through here, so that a test can answer it in
// advance and no test ever hangs on a modal dialog.
namespace MessageBox {

struct Shown
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

using Interceptor = std::function<void(const Shown &)>;

// With an interceptor set, boxes are passed to it instead of being shown.
void setInterceptor(Interceptor interceptor);
void clearInterceptor();

// One OK button; returns when the user has closed the box.
void show(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);

} // namespace MessageBox
