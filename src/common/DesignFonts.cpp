#include "common/DesignFonts.h"

#include <QStringList>

namespace DesignFonts {

void installSubstitutions()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial Narrow"),
                               QStringList{QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
                                QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("System"),
                               QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QFont font(const QString &family, double points, bool bold)
{
    installSubstitutions();
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

} // namespace DesignFonts
