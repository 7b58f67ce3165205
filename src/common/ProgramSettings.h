#pragma once

#include <QString>

// The program's own settings, kept between runs in the user's configuration under the
// organisation and application names main() sets: the one place that knows their keys and
// defaults. base2.cfg keeps its thirteen lines, since other programs read it.
class ProgramSettings final
{
public:
    enum class Pane { Upper, Lower };

    // Whether the pane highlights what changed since the last load; on unless turned off.
    static bool highlightChanges(Pane pane);
    static void setHighlightChanges(Pane pane, bool on);
    // Whether the cycle leaves the pane alone while the market is closed; off unless turned on.
    static bool refreshOnlyWhileOpen(Pane pane);
    static void setRefreshOnlyWhileOpen(Pane pane, bool on);
    // How often a followed value no pane reads is read out of sight, in minutes; one unless
    // chosen. What the file holds is not checked here: the reader refuses what it does not offer.
    static int readIntervalMinutes();
    static void setReadIntervalMinutes(int minutes);
};
