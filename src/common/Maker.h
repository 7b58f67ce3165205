#pragma once

#include <QString>

// The maker's addresses, kept in one place. The domain is a reserved example domain:
// the program has no real web presence to point at.
namespace Maker {

inline QString webSite() { return QStringLiteral("http://www.quovadex.example"); }
inline QString email() { return QStringLiteral("info@quovadex.example"); }

// The lower pane's fixed first page and its "Home". It ships inside the program so that
// it shows offline.
inline QString infoPage() { return QStringLiteral("qrc:/quovadex/info.htm"); }

} // namespace Maker
