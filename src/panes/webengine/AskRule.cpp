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

QString AskRule::refusal(Ask ask)
{
    switch (ask) {
    case Ask::Message:
        return QStringLiteral("la pagina mostra un messaggio");
    case Ask::File:
        return QStringLiteral("la pagina chiede un file");
    case Ask::Login:
        return QStringLiteral("la pagina chiede un accesso");
    case Ask::Certificate:
        return QStringLiteral("il certificato del sito non è valido");
    case Ask::Permission:
        return QStringLiteral("la pagina chiede un permesso");
    case Ask::Window:
        return QStringLiteral("la pagina apre una finestra");
    case Ask::Download:
        return QStringLiteral("la pagina chiede un download");
    }
    return QString();
}
