#include "common/ProgramSettings.h"

#include <QSettings>

namespace {

// The keys are kept as earlier versions wrote them, so that a choice survives an update.
QString highlightKey(ProgramSettings::Pane pane)
{
    return pane == ProgramSettings::Pane::Upper ? QStringLiteral("evidenziaVariazioni/sopra")
                                                : QStringLiteral("evidenziaVariazioni/sotto");
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
