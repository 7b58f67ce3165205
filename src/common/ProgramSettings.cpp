#include "common/ProgramSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>

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

QString ProgramSettings::phoneTopic()
{
    return QSettings().value(QStringLiteral("telefono/argomento")).toString();
}

void ProgramSettings::setPhoneTopic(const QString &address)
{
    QSettings().setValue(QStringLiteral("telefono/argomento"), address);
}

QString ProgramSettings::phoneTokenPath()
{
    const QFileInfo settings(QSettings().fileName());
    return settings.dir().filePath(settings.completeBaseName() + QStringLiteral("-token-telefono"));
}

QString ProgramSettings::phoneToken()
{
    QFile file(phoneTokenPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

bool ProgramSettings::setPhoneToken(const QString &token, QString *error)
{
    const QString path = phoneTokenPath();
    if (token.isEmpty()) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            *error = file.errorString();
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("la cartella delle impostazioni non si crea");
        return false;
    }
    QSaveFile file(path);
    // Narrowed before the token is written: a new file would otherwise take the umask's mode,
    // an old one its own, and either may let others read.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = token.toUtf8() + '\n';
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QByteArray ProgramSettings::stripGeometry()
{
    return QSettings().value(QStringLiteral("striscia/geometria")).toByteArray();
}

void ProgramSettings::setStripGeometry(const QByteArray &geometry)
{
    QSettings().setValue(QStringLiteral("striscia/geometria"), geometry);
}

QList<qint64> ProgramSettings::stripHiddenValues()
{
    QList<qint64> ids;
    // A hand-edited file may hold anything: what is not an id is left out.
    for (const QString &text : QSettings().value(QStringLiteral("striscia/nascosti")).toStringList()) {
        bool ok = false;
        const qint64 id = text.toLongLong(&ok);
        if (ok)
            ids.append(id);
    }
    return ids;
}

void ProgramSettings::setStripHiddenValues(const QList<qint64> &ids)
{
    QStringList texts;
    for (const qint64 id : ids)
        texts.append(QString::number(id));
    QSettings().setValue(QStringLiteral("striscia/nascosti"), texts);
}

bool ProgramSettings::stripOpen()
{
    return QSettings().value(QStringLiteral("striscia/aperta"), false).toBool();
}

void ProgramSettings::setStripOpen(bool open)
{
    QSettings().setValue(QStringLiteral("striscia/aperta"), open);
}

bool ProgramSettings::trayHintGiven()
{
    return QSettings().value(QStringLiteral("areaNotifica/suggerimentoDato"), false).toBool();
}

void ProgramSettings::setTrayHintGiven()
{
    QSettings().setValue(QStringLiteral("areaNotifica/suggerimentoDato"), true);
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
