#include "common/MessageBox.h"

namespace MessageBox {

namespace {
Interceptor &interceptor()
{
    static Interceptor current;
    return current;
}
} // namespace

void setInterceptor(Interceptor value)
{
    interceptor() = std::move(value);
}

void clearInterceptor()
{
    interceptor() = nullptr;
}

void show(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    if (interceptor()) {
        interceptor()(Shown{icon, title, text, Kind::Message, parent});
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

Answer ask(const Shown &question, const std::function<Answer()> &dialog)
{
    return interceptor() ? interceptor()(question) : dialog();
}

} // namespace MessageBox
