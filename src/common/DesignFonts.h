#pragma once

#include <QFont>
#include <QString>

// The design names Windows fonts. They are asked for by name, and each has a fallback
// chain to the closest family a Linux desktop has, so the text fits the design's boxes.
namespace DesignFonts {

void installSubstitutions();

QFont font(const QString &family, double points, bool bold);

inline QFont msSansSerif(double points = 8.25, bool bold = false) { return font(QStringLiteral("MS Sans Serif"), points, bold); }
inline QFont arialNarrow(double points = 8.25, bool bold = false) { return font(QStringLiteral("Arial Narrow"), points, bold); }
inline QFont system(double points = 9.75, bool bold = true) { return font(QStringLiteral("System"), points, bold); }

} // namespace DesignFonts
