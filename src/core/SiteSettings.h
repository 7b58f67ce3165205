#pragma once

#include <array>

#include <QString>
#include <QStringList>

// What base2.cfg holds: six sites, each a button caption and an address, and the upper
// pane's start page. The file keeps them as thirteen lines in this order: caption and
// address of site 1 to 6, then the start page.
struct SiteSettings
{
    static constexpr int SiteCount = 6;
    static constexpr int LineCount = 2 * SiteCount + 1;

    struct Site
    {
        QString caption;
        QString address;
        bool operator==(const Site &) const = default;
    };

    std::array<Site, SiteCount> sites;
    QString startPage;

    // Missing lines give empty values; lines after the thirteenth are ignored.
    static SiteSettings fromLines(const QStringList &lines);
    QStringList toLines() const;

    bool operator==(const SiteSettings &) const = default;
};
