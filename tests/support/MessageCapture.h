#pragma once

#include <QList>

#include "common/MessageBox.h"

// A message box or a page's question waits for a click no test gives. While this lives, each
// one the program puts is written down here instead, for the test to look at, and answered
// with the next answer the test gave in advance, or else cancelled; there is one
// interceptor, so only one of these at a time.
class MessageCapture final
{
    Q_DISABLE_COPY_MOVE(MessageCapture)
public:
    MessageCapture()
    {
        MessageBox::setInterceptor([this](const MessageBox::Shown &shown) {
            m_shown << shown;
            return m_answers.isEmpty() ? MessageBox::Answer{} : m_answers.takeFirst();
        });
    }
    ~MessageCapture() { MessageBox::clearInterceptor(); }

    void answerNext(const MessageBox::Answer &answer) { m_answers << answer; }

    bool isEmpty() const { return m_shown.isEmpty(); }
    qsizetype size() const { return m_shown.size(); }
    const MessageBox::Shown &at(qsizetype index) const { return m_shown.at(index); }
    const MessageBox::Shown &first() const { return m_shown.first(); }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }

private:
    QList<MessageBox::Shown> m_shown;
    QList<MessageBox::Answer> m_answers;
};
