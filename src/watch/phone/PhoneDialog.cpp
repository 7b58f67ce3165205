#include "watch/phone/PhoneDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "common/MessageBox.h"

const QString PhoneDialog::Title = QStringLiteral("Avvisi sul telefono");
const PhoneMessage PhoneDialog::TestMessage{QStringLiteral("Doppio Quovadex"),
                                            QStringLiteral("Prova: gli avvisi dei valori seguiti arriveranno qui."),
                                            false, QStringLiteral("bell"), QString()};

namespace {

// Each test its own key, below the alerts' ids, so that no answer is taken for an alert's.
qint64 nextTestKey()
{
    static qint64 key = 0;
    return --key;
}

} // namespace

PhoneDialog::PhoneDialog(const PhoneSender::Topic &shown, PhoneSender &sender, QWidget *parent)
    : QDialog(parent)
    , m_sender(sender)
    , m_address(new QLineEdit(shown.address.toString(), this))
    , m_token(new QLineEdit(shown.token, this))
    , m_result(new QLabel(this))
{
    setObjectName(QStringLiteral("phoneDialog"));
    setWindowTitle(Title);
    m_address->setObjectName(QStringLiteral("phoneAddress"));
    m_address->setPlaceholderText(QStringLiteral("https://ntfy.sh/il-mio-argomento"));
    m_address->setMinimumWidth(m_address->fontMetrics().averageCharWidth() * 45);
    m_token->setObjectName(QStringLiteral("phoneToken"));
    m_token->setEchoMode(QLineEdit::Password);
    m_token->setPlaceholderText(QStringLiteral("facoltativo"));
    m_result->setObjectName(QStringLiteral("phoneTestResult"));
    m_result->setWordWrap(true);
    auto *intro = new QLabel(QStringLiteral("Gli avvisi arrivano sul telefono attraverso un argomento di ntfy: installate l'app "
                                            "ntfy sul telefono, iscrivetevi a un argomento dal nome difficile da indovinare "
                                            "(sul servizio pubblico o sul vostro) e scrivetene qui l'indirizzo."),
                             this);
    intro->setWordWrap(true);
    auto *test = new QPushButton(QStringLiteral("Prova"), this);
    test->setObjectName(QStringLiteral("phoneTest"));
    test->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    auto *form = new QFormLayout(this);
    form->addRow(intro);
    form->addRow(QStringLiteral("Indirizzo dell'argomento:"), m_address);
    form->addRow(QStringLiteral("Token di accesso:"), m_token);
    form->addRow(test, m_result);
    form->addRow(buttons);
    connect(test, &QPushButton::clicked, this, &PhoneDialog::sendTest);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&m_sender, &PhoneSender::answered, this, [this](qint64 key, PhoneSender::Outcome outcome, const QString &detail) {
        if (key != m_testKey)
            return;
        m_testKey = 0;
        m_result->setText(outcome == PhoneSender::Outcome::Delivered
                              ? QStringLiteral("Arrivata: il servizio ha preso la prova (%1). Guardate il telefono.").arg(detail)
                              : QStringLiteral("Non arrivata: %1.").arg(detail));
    });
}

std::optional<PhoneSender::Topic> PhoneDialog::topic(QString *problem) const
{
    return PhoneSender::topicFrom(m_address->text(), m_token->text(), problem);
}

void PhoneDialog::sendTest()
{
    QString problem;
    const std::optional<PhoneSender::Topic> chosen = topic(&problem);
    if (!chosen) {
        m_result->setText(problem);
        return;
    }
    m_testKey = nextTestKey();
    m_result->setText(QStringLiteral("Invio della prova\u2026"));
    m_sender.send(m_testKey, *chosen, TestMessage);
}

void PhoneDialog::done(int result)
{
    QString problem;
    if (result == QDialog::Accepted && !topic(&problem)) {
        m_result->setText(problem);
        return;
    }
    QDialog::done(result);
}

std::optional<PhoneSender::Topic> PhoneDialog::ask(const PhoneSender::Topic &shown, PhoneSender &sender, QWidget *over)
{
    const QString text = QStringLiteral("Indirizzo dell'argomento di ntfy e token di accesso (facoltativo)");
    const MessageBox::Answer answer =
        MessageBox::ask({QMessageBox::Question, Title, text, MessageBox::Kind::Prompt, over}, [&] {
            QPointer<PhoneDialog> dialog = new PhoneDialog(shown, sender, over);
            const bool accepted = dialog->exec() == QDialog::Accepted;
            // Its window may have gone while it was open, and the dialog with it.
            if (!dialog)
                return MessageBox::Answer{};
            const MessageBox::Answer given{accepted, {dialog->m_address->text(), dialog->m_token->text()}};
            delete dialog;
            return given;
        });
    if (!answer.accepted)
        return std::nullopt;
    QString problem;
    const std::optional<PhoneSender::Topic> given = PhoneSender::topicFrom(answer.values.value(0), answer.values.value(1), &problem);
    if (!given)
        MessageBox::show(over, QMessageBox::Warning, Title, problem);
    return given;
}
