#include "core/SiteButtons.h"

#include <QAbstractButton>

SiteButtons::SiteButtons(const std::array<QAbstractButton *, SiteSettings::SiteCount> &buttons, QObject *parent)
    : QObject(parent)
    , m_buttons(buttons)
{
    for (int i = 0; i < SiteSettings::SiteCount; ++i)
        connect(m_buttons[i], &QAbstractButton::clicked, this, [this, i] { emit addressChosen(m_sites[i].address); });
}

void SiteButtons::setSites(const std::array<SiteSettings::Site, SiteSettings::SiteCount> &sites)
{
    // Only a few letters fit on a button; a caption of megabytes would take seconds and
    // hundreds of megabytes at every paint. The whole value stays in the settings.
    constexpr qsizetype MaxShown = 256;
    m_sites = sites;
    for (int i = 0; i < SiteSettings::SiteCount; ++i)
        m_buttons[i]->setText(sites[i].caption.left(MaxShown));
}
