#pragma once

#include <functional>

#include <QtGlobal>

class QWebEnginePage;

// Tells whether the user's keys in one page went into a field to type into (a text box, an
// editable text, never a list or a box to tick): scripts/typing.js notes each key in every
// document the page loads, typed.js asks. Both run in the program's own world, out of the
// page's reach.
class TypingProbe final
{
    Q_DISABLE_COPY_MOVE(TypingProbe)
public:
    // From now on every document the page loads notes the keys typed into its fields.
    explicit TypingProbe(QWebEnginePage &page);

    // Answers whether such a key came within the last ms milliseconds. Asked of the page's
    // process, so the answer comes later, or never when the page goes first.
    void ask(int ms, std::function<void(bool)> answer);

private:
    QWebEnginePage &m_page;
};
