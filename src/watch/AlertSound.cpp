#include "watch/AlertSound.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace AlertSound {

QStringList command()
{
    const QString sound = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                 QStringLiteral("sounds/freedesktop/stereo/message-new-instant.oga"));
    if (sound.isEmpty())
        return {};
    // PipeWire's and PulseAudio's own players come with the desktop's sound server; the
    // event sound player with GNOME and Xfce.
    for (const char *player : {"pw-play", "paplay", "canberra-gtk-play"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(player));
        if (found.isEmpty())
            continue;
        if (found.endsWith(QLatin1String("canberra-gtk-play")))
            return {found, QStringLiteral("-f"), sound};
        return {found, sound};
    }
    return {};
}

void play()
{
    const QStringList run = command();
    if (!run.isEmpty())
        QProcess::startDetached(run.first(), run.mid(1));
}

} // namespace AlertSound
