#pragma once

#include <array>

#include <QObject>

#include "core/SiteSettings.h"

class QAbstractButton;

// The six site shortcuts: each shows its site's caption and puts its address into the
// address box; none of them navigates.
class SiteButtons final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SiteButtons)
public:
    explicit SiteButtons(const std::array<QAbstractButton *, SiteSettings::SiteCount> &buttons,
                         QObject *parent = nullptr);

    void setSites(const std::array<SiteSettings::Site, SiteSettings::SiteCount> &sites);

signals:
    void addressChosen(const QString &address);

private:
    std::array<QAbstractButton *, SiteSettings::SiteCount> m_buttons;
    std::array<SiteSettings::Site, SiteSettings::SiteCount> m_sites;
};
