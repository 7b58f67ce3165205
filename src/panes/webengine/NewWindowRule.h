#pragma once

#include <QUrl>

class RecentInput;

// Which of a page's requests for a window of its own the program opens. A page asking by
// itself, even twenty times a second, gets nothing; after the user's click the address gets
// a window of its own, never the pane where the user watches a page, and never an empty or
// about: page, which a script would fill with what it likes.
struct NewWindowRule
{
    // One click opens one window: a script riding on it gets no second.
    static constexpr int PerPress = 1;

    // Whether the page at page opens requested now; an answer of yes spends the user's press.
    // The engine's userInitiated says a click led to the request, input whose click it was:
    // a page prepared out of sight has none.
    static bool opens(const QUrl &requested, const QUrl &page, bool userInitiated, RecentInput *input);
};
