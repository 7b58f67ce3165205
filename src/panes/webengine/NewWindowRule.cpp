#include "panes/webengine/NewWindowRule.h"

#include "panes/webengine/RecentInput.h"

bool NewWindowRule::opens(const QUrl &requested, const QUrl &page, bool userInitiated, RecentInput *input)
{
    if (!userInitiated || !input || requested.isEmpty() || requested.scheme() == QLatin1String("about")
        || requested.scheme() == QLatin1String("data") || requested.scheme() == QLatin1String("javascript"))
        return false;
    // The engine's own rule, that a web page cannot open a local file, holds for new windows.
    if (requested.isLocalFile() && !page.isLocalFile())
        return false;
    return input->allows(RecentInput::Policy::Asked, PerPress);
}
