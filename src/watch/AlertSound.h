#pragma once

#include <QString>

// The alert's short sound: the desktop sound theme's "message-new-instant" event, played by
// whichever of the usual players is installed, as a process of its own so the window never
// waits for it. No player or no sound file: silence, the notification still says it all.
namespace AlertSound {

void play();

// The player and file play() would use now; empty when it would stay silent.
QStringList command();

} // namespace AlertSound
