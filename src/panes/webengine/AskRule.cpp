#include "panes/webengine/AskRule.h"

#include "panes/webengine/RecentInput.h"

bool AskRule::reachesUser(Ask ask, Load load, bool shown, bool asking, RecentInput *input)
{
    // Each question waits in an event loop of its own, inside the engine.
    if (asking || !shown || load == Load::ForRefresh)
        return false;
    const bool login = ask == Ask::Login;
    if (!login && ask != Ask::Message && ask != Ask::File)
        return false;
    const bool pressed = input && input->within(login ? RecentInput::Policy::LoginAfterPress : RecentInput::Policy::Asked);
    if (!pressed && !(login && load == Load::ByUser))
        return false;
    // One click, one question: a page cannot chain questions on the user's one press.
    if (input)
        input->forget();
    return true;
}
