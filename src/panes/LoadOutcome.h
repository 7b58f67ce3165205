#pragma once

#include <optional>

#include <QString>
#include <QWebEngineLoadingInfo>

// The verdict on a finished load of a pane's main frame: whether it brought a page worth
// showing, and if not, why, in words for people.
struct LoadOutcome
{
    bool ok = true;
    QString reason;

    // Empty for a load that is still running or that was stopped. An error status (a 503
    // "try later" with a page of its own) is no quote page however the engine reports it:
    // Qt 6.4 calls it a failed load, a load may also end as succeeded with the status as its
    // error code.
    static std::optional<LoadOutcome> of(QWebEngineLoadingInfo::LoadStatus status,
                                         QWebEngineLoadingInfo::ErrorDomain domain, int code,
                                         const QString &engineText);

    bool operator==(const LoadOutcome &) const = default;
};
