#pragma once

class RecentInput;

// What comes of what a page asks of the program. A page read out of sight gets nothing. A
// shown page's question (a message, a file chooser, a login) reaches the user only while the
// user wants it: right after the user's press in the pane, or for a login while a load the
// user asked for is under way; never over a refresh, which nobody watches, and never over
// another question.
struct AskRule
{
    enum class Ask { Message, File, Login, Certificate, Permission, Window, Download };
    // Who wants the load under way, while that still counts (RecentInput::Policy::LoginAfterRequest).
    enum class Load { Neither, ByUser, ForRefresh };

    // Whether a shown page puts ask to the user now; shown says there is a window to ask over,
    // asking that a question is open already. A yes spends the user's press.
    static bool reachesUser(Ask ask, Load load, bool shown, bool asking, RecentInput *input);
};
