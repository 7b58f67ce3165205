#pragma once

#include <optional>

#include <QDialog>

#include "watch/phone/PhoneSender.h"

class QLabel;
class QLineEdit;

// "Avvisi sul telefono": the address of the ntfy topic the phone listens to (the public
// service or the user's own) and its access token where it has one, with "Prova", which
// sends a test message and says whether the service took it. OK only with a usable address.
class PhoneDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneDialog)
public:
    PhoneDialog(const PhoneSender::Topic &shown, PhoneSender &sender, QWidget *parent = nullptr);

    // The question through MessageBox, which a test answers with the address and the token;
    // nullopt when cancelled or when what was given is not usable (the user is told why).
    static std::optional<PhoneSender::Topic> ask(const PhoneSender::Topic &shown, PhoneSender &sender, QWidget *over);

    // What the fields hold, checked; nullopt with the problem.
    std::optional<PhoneSender::Topic> topic(QString *problem) const;

    static const QString Title;
    static const PhoneMessage TestMessage;

    void done(int result) override;

private:
    void sendTest();

    PhoneSender &m_sender;
    QLineEdit *m_address;
    QLineEdit *m_token;
    QLabel *m_result;
    // The key of the test on its way: answers to older ones are stale.
    qint64 m_testKey = 0;
};
