#include "watch/window/ValueQuestions.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

#include "common/MessageBox.h"
#include "watch/rules/LevelText.h"

namespace {

// A line of text from the user; nullopt when cancelled, or when its window went while it was
// open.
std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label, const QString &text)
{
    QPointer<QInputDialog> dialog = new QInputDialog(parent);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setTextValue(text);
    dialog->setOkButtonText(QStringLiteral("OK"));
    dialog->setCancelButtonText(QStringLiteral("Annulla"));
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return std::nullopt;
    const QString typed = dialog->textValue();
    delete dialog;
    return accepted ? std::optional(typed) : std::nullopt;
}

} // namespace

void ValueQuestions::askLevel(qint64 id, const QString &name, bool above, std::optional<double> shown, QWidget *over)
{
    openLevelDialog(id, name, above, shown ? LevelText::format(*shown) : QString(), over);
}

void ValueQuestions::openLevelDialog(qint64 id, const QString &name, bool above, const QString &text, QWidget *over)
{
    // Text, not a spin box: one in Italian takes "1240.5" as 12405 without a word, and would
    // cut a price of 0,000123 to four decimals.
    auto *dialog = new QInputDialog(over);
    dialog->setObjectName(QStringLiteral("levelDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(text);
    dialog->setOkButtonText(QStringLiteral("OK"));
    dialog->setCancelButtonText(QStringLiteral("Annulla"));
    const QString title = above ? QStringLiteral("Avvisami sopra") : QStringLiteral("Avvisami sotto");
    dialog->setWindowTitle(title);
    dialog->setLabelText((above ? QStringLiteral("Avvisami quando \u00ab%1\u00bb sale a:")
                                : QStringLiteral("Avvisami quando \u00ab%1\u00bb scende a:"))
                             .arg(name)
                         + QStringLiteral("\n(vuoto: nessun avviso %1)").arg(above ? QStringLiteral("sopra") : QStringLiteral("sotto")));
    QPointer<QWidget> parent(over);
    connect(dialog, &QInputDialog::textValueSelected, this, [this, id, name, above, title, parent](const QString &typed) {
        if (typed.trimmed().isEmpty()) {
            emit levelGiven(id, above, std::nullopt);
            return;
        }
        QString problem;
        if (const std::optional<double> level = LevelText::parse(typed, &problem)) {
            emit levelGiven(id, above, level);
            return;
        }
        MessageBox::show(parent, QMessageBox::Warning, title,
                         problem + QStringLiteral(" Scrivete il livello come 14,25 o 1.234,56."));
        openLevelDialog(id, name, above, typed, parent);
    });
    dialog->open();
}

void ValueQuestions::askMove(qint64 id, const QString &name, const MoveCrossing::Move &shown, QWidget *over)
{
    openMoveDialog(id, name, shown, shown.percent > 0 ? LevelText::format(shown.percent) : QString(), over);
}

void ValueQuestions::openMoveDialog(qint64 id, const QString &name, const MoveCrossing::Move &shown, const QString &text,
                                    QWidget *over)
{
    const QString title = QStringLiteral("Avvisami se varia del\u2026");
    auto *dialog = new QDialog(over);
    dialog->setObjectName(QStringLiteral("moveDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    auto *percent = new QLineEdit(text, dialog);
    percent->setObjectName(QStringLiteral("movePercent"));
    auto *reference = new QComboBox(dialog);
    reference->setObjectName(QStringLiteral("moveReference"));
    reference->addItem(QStringLiteral("dalla chiusura precedente"));
    reference->addItem(QStringLiteral("in \u2026 minuti"));
    const bool withinMinutes = shown.reference == MoveCrossing::Reference::WithinMinutes;
    reference->setCurrentIndex(withinMinutes ? 1 : 0);
    auto *minutes = new QSpinBox(dialog);
    minutes->setObjectName(QStringLiteral("moveMinutes"));
    minutes->setRange(1, 480);
    const auto suffix = [minutes](int value) { minutes->setSuffix(value == 1 ? QStringLiteral(" minuto") : QStringLiteral(" minuti")); };
    connect(minutes, &QSpinBox::valueChanged, minutes, suffix);
    minutes->setValue(withinMinutes ? shown.minutes : 15);
    suffix(minutes->value());
    minutes->setEnabled(withinMinutes);
    connect(reference, &QComboBox::currentIndexChanged, minutes, [minutes](int index) { minutes->setEnabled(index == 1); });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto *form = new QFormLayout(dialog);
    form->addRow(new QLabel(QStringLiteral("Avvisami quando \u00ab%1\u00bb sale o scende di questa percentuale:\n"
                                           "(vuoto: nessun avviso sulla variazione)").arg(name), dialog));
    form->addRow(QStringLiteral("Percentuale:"), percent);
    form->addRow(QStringLiteral("Misurata:"), reference);
    form->addRow(QStringLiteral("Entro:"), minutes);
    form->addRow(buttons);
    QPointer<QWidget> parent(over);
    connect(dialog, &QDialog::accepted, this, [=, this] {
        const QString typed = percent->text();
        MoveCrossing::Move move = shown;
        move.reference = reference->currentIndex() == 1 ? MoveCrossing::Reference::WithinMinutes
                                                        : MoveCrossing::Reference::PreviousClose;
        move.minutes = minutes->value();
        if (typed.trimmed().isEmpty()) {
            emit moveGiven(id, std::nullopt);
            return;
        }
        QString problem;
        const std::optional<double> given = LevelText::parse(typed, &problem);
        if (given && *given > 0 && *given <= 100) {
            move.percent = *given;
            emit moveGiven(id, move);
            return;
        }
        MessageBox::show(parent, QMessageBox::Warning, title,
                         given ? QStringLiteral("La variazione \u00e8 una percentuale maggiore di 0 e fino a 100.")
                               : problem + QStringLiteral(" Scrivete la percentuale come 5 o 2,5."));
        openMoveDialog(id, name, move, typed, parent);
    });
    dialog->open();
}

void ValueQuestions::askMargin(qint64 id, double percent, QWidget *over)
{
    QPointer<QWidget> parent(over);
    QString text = LevelText::format(percent);
    for (;;) {
        const auto typed = askText(parent, QStringLiteral("Margine"),
                                   QStringLiteral("Dopo un avviso, il prossimo arriva solo quando il valore\n\u00e8 "
                                                  "tornato indietro di questa percentuale del livello (da 0 a 50):"),
                                   text);
        if (!typed)
            return;
        QString problem;
        const std::optional<double> margin = LevelText::parse(*typed, &problem);
        if (margin && *margin >= 0 && *margin <= 50) {
            emit marginGiven(id, *margin);
            return;
        }
        MessageBox::show(parent, QMessageBox::Warning, QStringLiteral("Margine"),
                         margin ? QStringLiteral("Il margine \u00e8 una percentuale del livello, da 0 a 50.") : problem);
        text = *typed;
    }
}

void ValueQuestions::askName(qint64 id, const QString &name, QWidget *over)
{
    if (const auto typed = askText(over, QStringLiteral("Rinomina"), QStringLiteral("Nome:"), name))
        emit nameGiven(id, *typed);
}

void ValueQuestions::askUnfollow(qint64 id, const QString &name, QWidget *over)
{
    // A month of readings goes with it, and a stray click must not cost them.
    const QString title = QStringLiteral("Non seguire pi\u00f9");
    const QString text = QStringLiteral("Non seguire pi\u00f9 \u00ab%1\u00bb? Le sue letture registrate saranno "
                                        "cancellate.").arg(name);
    const bool sure = MessageBox::ask({QMessageBox::Question, title, text, MessageBox::Kind::Confirm, over}, [&] {
                          QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, over);
                          const QAbstractButton *yes = box.addButton(title, QMessageBox::AcceptRole);
                          box.setDefaultButton(box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole));
                          box.exec();
                          return MessageBox::Answer{box.clickedButton() == yes, {}};
                      }).accepted;
    if (sure)
        emit unfollowConfirmed(id);
}

void ValueQuestions::askExportPath(qint64 id, const QString &name, QWidget *over)
{
    QString base = name;
    base.replace(QRegularExpression(QStringLiteral("[^\\w\\-. ]")), QStringLiteral("_"));
    // A desktop without a documents folder: the home folder, not wherever the program started.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString path = QFileDialog::getSaveFileName(over, QStringLiteral("Esporta CSV"),
                                                      QDir(folder).filePath(base + QStringLiteral(".csv")),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty())
        emit exportPathGiven(id, path);
}
