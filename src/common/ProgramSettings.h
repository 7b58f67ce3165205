#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

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
    // The address of the ntfy topic that alerts reach the phone through; empty until chosen.
    static QString phoneTopic();
    static void setPhoneTopic(const QString &address);
    // The topic's access token is a secret: it is kept in a file of its own beside the
    // settings, which only the user may read or write (0600) from the moment it is made.
    // Empty for none; an empty token removes the file. False with the reason where it was
    // not written, the old one kept.
    static QString phoneToken();
    static bool setPhoneToken(const QString &token, QString *error);
    static QString phoneTokenPath();
    // "Striscia dei valori": its place and size (saveGeometry), the values the user took out of
    // it (so that a value followed later shows), and whether it was open when the program ended.
    static QByteArray stripGeometry();
    static void setStripGeometry(const QByteArray &geometry);
    static QList<qint64> stripHiddenValues();
    static void setStripHiddenValues(const QList<qint64> &ids);
    static bool stripOpen();
    static void setStripOpen(bool open);
    // Whether the user was told once how to get a tray on a desktop that has none.
    static bool trayHintGiven();
    static void setTrayHintGiven();
    // The zoom the user chose for each site in the pane, one line a site as SiteZoom writes
    // them, most recently used first.
    static QStringList siteZooms(Pane pane);
    static void setSiteZooms(Pane pane, const QStringList &lines);

    // What Qt wrote of a window's place and size (saveGeometry) or of a view's columns and
    // sorting (QHeaderView::saveState); empty while nothing is kept. Qt checks what it reads.
    enum class Layout { MainWindow, FollowedValuesWindow, FollowedValuesColumns };
    static QByteArray layout(Layout which);
    static void setLayout(Layout which, const QByteArray &state);
    // The upper pane's part of the two panes' height, between 0 and 1; none while the
    // design's, and none for anything else the file holds.
    static std::optional<double> paneSplit();
    static void setPaneSplit(std::optional<double> upperShare);
};
