#include "panes/PageDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/MessageBox.h"

namespace PageDialogs {

namespace {

using MessageBox::Answer;
using MessageBox::Kind;

QString title(const QString &site)
{
    return site.isEmpty() ? QStringLiteral("La pagina chiede") : QStringLiteral("La pagina di %1 chiede").arg(site);
}

// Button texts are set here: Qt's own are English unless its translations are installed.
QDialogButtonBox *buttons(QDialog &dialog, const QString &accept)
{
    auto *box = new QDialogButtonBox(&dialog);
    box->addButton(accept, QDialogButtonBox::AcceptRole);
    box->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return box;
}

QLabel *pageText(QDialog &dialog, const QString &text)
{
    // A page's text is shown as it is, never as markup of the program's label.
    auto *label = new QLabel(text.left(2000), &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

void alert(QWidget *parent, const QString &site, const QString &text)
{
    MessageBox::ask({QMessageBox::Information, title(site), text.left(2000), Kind::Alert, parent}, [&] {
        QMessageBox box(QMessageBox::Information, title(site), text.left(2000), QMessageBox::NoButton, parent);
        box.setTextFormat(Qt::PlainText);
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return Answer{true, {}};
    });
}

bool confirm(QWidget *parent, const QString &site, const QString &text)
{
    return MessageBox::ask({QMessageBox::NoIcon, title(site), text, Kind::Confirm, parent}, [&] {
               QDialog dialog(parent);
               dialog.setWindowTitle(title(site));
               auto *layout = new QVBoxLayout(&dialog);
               layout->addWidget(pageText(dialog, text));
               layout->addWidget(buttons(dialog, QStringLiteral("OK")));
               return Answer{dialog.exec() == QDialog::Accepted, {}};
           })
        .accepted;
}

bool prompt(QWidget *parent, const QString &site, const QString &text, const QString &proposed, QString *answer)
{
    const Answer given = MessageBox::ask({QMessageBox::NoIcon, title(site), text, Kind::Prompt, parent}, [&] {
        QDialog dialog(parent);
        dialog.setWindowTitle(title(site));
        auto *layout = new QVBoxLayout(&dialog);
        auto *field = new QLineEdit(proposed, &dialog);
        layout->addWidget(pageText(dialog, text));
        layout->addWidget(field);
        layout->addWidget(buttons(dialog, QStringLiteral("OK")));
        return dialog.exec() == QDialog::Accepted ? Answer{true, {field->text()}} : Answer{};
    });
    if (!given.accepted)
        return false;
    *answer = given.values.value(0);
    return true;
}

bool login(QWidget *parent, const QString &site, const QString &realm, QString *user, QString *password)
{
    const QString loginTitle = QStringLiteral("Accesso a %1").arg(site);
    // The site's name is the program's; the realm is the site's text and may say anything.
    QString why = QStringLiteral("Il sito %1 chiede nome utente e password").arg(site);
    why += realm.isEmpty() ? QStringLiteral(".") : QStringLiteral(" per \u00ab%1\u00bb.").arg(realm.left(200));
    const Answer given = MessageBox::ask({QMessageBox::NoIcon, loginTitle, why, Kind::Login, parent}, [&] {
        QDialog dialog(parent);
        dialog.setWindowTitle(loginTitle);
        auto *layout = new QFormLayout(&dialog);
        auto *userField = new QLineEdit(&dialog);
        auto *passwordField = new QLineEdit(&dialog);
        passwordField->setEchoMode(QLineEdit::Password);
        layout->addRow(pageText(dialog, why));
        layout->addRow(QStringLiteral("Nome utente:"), userField);
        layout->addRow(QStringLiteral("Password:"), passwordField);
        layout->addRow(buttons(dialog, QStringLiteral("Accedi")));
        return dialog.exec() == QDialog::Accepted ? Answer{true, {userField->text(), passwordField->text()}} : Answer{};
    });
    if (!given.accepted)
        return false;
    *user = given.values.value(0);
    *password = given.values.value(1);
    return true;
}

QStringList chooseFiles(QWidget *parent, bool several)
{
    const QString caption = several ? QStringLiteral("Scegliere i file da inviare") : QStringLiteral("Scegliere il file da inviare");
    return MessageBox::ask({QMessageBox::NoIcon, caption, QString(), Kind::FileChoice, parent}, [&] {
               if (several)
                   return Answer{true, QFileDialog::getOpenFileNames(parent, caption)};
               const QString file = QFileDialog::getOpenFileName(parent, caption);
               return file.isEmpty() ? Answer{} : Answer{true, {file}};
           })
        .values;
}

} // namespace PageDialogs
