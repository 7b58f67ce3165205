#pragma once

#include <utility>

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// Which zoom one pane shows each site at: the user's last choice there, else the page's own
// size. A site is a web address's host (any scheme or port), a local file's folder, else the
// address's scheme (about:blank, the program's own pages). Only the most recently used sites
// are kept, so the list stays small however many sites the user zooms. No engine, no settings:
// the pane reads the lines from the program's settings and writes back what changed.
class SiteZoom final
{
public:
    static constexpr int Capacity = 200;
    static constexpr int PageSize = 100;

    // lines: as lines() gives them, most recently used first; one that does not read (a
    // zoom out of the engine's range, no site, a site given twice) is left out.
    explicit SiteZoom(const QStringList &lines = {});

    // Empty for an address no zoom is kept for (an empty one).
    static QString siteOf(const QUrl &url);

    // The zoom in percent for url's site. Counts as a use: the site is the last to go.
    int use(const QUrl &url);
    // The user chose percent on url: kept for its site, first in the list. The page's own size
    // is no choice to keep: the site is forgotten.
    void choose(const QUrl &url, int percent);

    QStringList lines() const;

private:
    // Most recently used first.
    QList<std::pair<QString, int>> m_sites;
};
