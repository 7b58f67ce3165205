#include "common/ProgramSettings.h"

#include <QSettings>

namespace {

// The keys are kept as earlier versions wrote them, so that a choice survives an update.
QString highlightKey(ProgramSettings::Pane pane)
{
    return pane == ProgramSettings::Pane::Upper ? QStringLiteral("evidenziaVariazioni/sopra")
                                                : QStringLiteral("evidenziaVariazioni/sotto");
}

QString openMarketKey(ProgramSettings::Pane pane)
{
    return pane == ProgramSettings::Pane::Upper ? QStringLiteral("soloMercatoAperto/sopra")
                                                : QStringLiteral("soloMercatoAperto/sotto");
}

} // namespace

bool ProgramSettings::highlightChanges(Pane pane)
{
    return QSettings().value(highlightKey(pane), true).toBool();
}

void ProgramSettings::setHighlightChanges(Pane pane, bool on)
{
    QSettings().setValue(highlightKey(pane), on);
}

bool ProgramSettings::refreshOnlyWhileOpen(Pane pane)
{
    return QSettings().value(openMarketKey(pane), false).toBool();
}

void ProgramSettings::setRefreshOnlyWhileOpen(Pane pane, bool on)
{
    QSettings().setValue(openMarketKey(pane), on);
}

int ProgramSettings::readIntervalMinutes()
{
    return QSettings().value(QStringLiteral("valoriSeguiti/leggiOgniMinuti"), 1).toInt();
}

void ProgramSettings::setReadIntervalMinutes(int minutes)
{
    QSettings().setValue(QStringLiteral("valoriSeguiti/leggiOgniMinuti"), minutes);
}
