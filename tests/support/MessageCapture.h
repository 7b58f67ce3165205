#pragma once

#include <QList>

#include "common/MessageBox.h"

// A message box waits for a click no test gives. While this lives, every box the program
// shows is written down here instead, for the test to look at; there is one interceptor,
// so only one of these at a time.
class MessageCapture final
{
    Q_DISABLE_COPY_MOVE(MessageCapture)
public:
    MessageCapture()
    {
        MessageBox::setInterceptor([this](const MessageBox::Shown &shown) { m_shown << shown; });
    }
    ~MessageCapture() { MessageBox::clearInterceptor(); }

    bool isEmpty() const { return m_shown.isEmpty(); }
    qsizetype size() const { return m_shown.size(); }
    const MessageBox::Shown &at(qsizetype index) const { return m_shown.at(index); }
    void clear() { m_shown.clear(); }

private:
    QList<MessageBox::Shown> m_shown;
};
