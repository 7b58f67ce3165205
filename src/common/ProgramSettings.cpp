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

QString zoomKey(ProgramSettings::Pane pane)
{
    return pane == ProgramSettings::Pane::Upper ? QStringLiteral("zoom/sopra") : QStringLiteral("zoom/sotto");
}

QString layoutKey(ProgramSettings::Layout which)
{
    switch (which) {
    case ProgramSettings::Layout::MainWindow:
        return QStringLiteral("finestra/posizione");
    case ProgramSettings::Layout::FollowedValuesWindow:
        return QStringLiteral("valoriSeguiti/posizione");
    case ProgramSettings::Layout::FollowedValuesColumns:
        return QStringLiteral("valoriSeguiti/colonne");
    }
    return QString();
}

const QString SplitKey = QStringLiteral("finestra/divisione");

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

QStringList ProgramSettings::siteZooms(Pane pane)
{
    return QSettings().value(zoomKey(pane)).toStringList();
}

void ProgramSettings::setSiteZooms(Pane pane, const QStringList &lines)
{
    if (lines.isEmpty())
        QSettings().remove(zoomKey(pane));
    else
        QSettings().setValue(zoomKey(pane), lines);
}

QByteArray ProgramSettings::layout(Layout which)
{
    return QSettings().value(layoutKey(which)).toByteArray();
}

void ProgramSettings::setLayout(Layout which, const QByteArray &state)
{
    if (state.isEmpty())
        QSettings().remove(layoutKey(which));
    else
        QSettings().setValue(layoutKey(which), state);
}

std::optional<double> ProgramSettings::paneSplit()
{
    bool number = false;
    const double share = QSettings().value(SplitKey).toDouble(&number);
    if (!number || !(share > 0 && share < 1))
        return std::nullopt;
    return share;
}

void ProgramSettings::setPaneSplit(std::optional<double> upperShare)
{
    if (upperShare)
        QSettings().setValue(SplitKey, *upperShare);
    else
        QSettings().remove(SplitKey);
}
