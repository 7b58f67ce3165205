#pragma once

#include <QString>
#include <QUrl>

// Whether a page read out of sight may be read where it ended up. A site that moves its page
// within itself (http to https, a "www." more or less, another path or query, a consent page
// that sends back) is followed; one that sends it to another site (a sign-in, a consent page
// that keeps it) is not, and the user is told where it leads.
//
// The rule is the host, with no "www.", not the registrable domain: Qt has no public list of
// the domains under which anyone may register a name ("co.uk"), and a guess would take
// "borsa.co.uk" and "truffa.co.uk" for one site; a different name under the same domain
// (accounts., consent.) is moreover most often the sign-in or consent page the user must
// hear of.
struct RedirectRule
{
    // Empty where a page asked at asked is read at reached; else why not, in words for people,
    // with reached's host in ASCII: it goes into notifications and the list.
    static QString refusal(const QUrl &asked, const QUrl &reached);
};
