#include "watch/window/AlertHistoryModel.h"

#include <QFont>

#include "watch/FollowedValues.h"
#include "watch/rules/LevelText.h"

AlertHistoryModel::AlertHistoryModel(FollowedValues &values, QObject *parent)
    : QAbstractTableModel(parent)
    , m_values(values)
{
    connect(&values, &FollowedValues::alertsChanged, this, &AlertHistoryModel::reload);
    reload();
}

int AlertHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_alerts.size());
}

int AlertHistoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

void AlertHistoryModel::reload()
{
    beginResetModel();
    m_alerts = m_values.alerts();
    for (const AlertHistory::Alert &alert : std::as_const(m_alerts)) {
        if (!alert.seen && !m_unseen.contains(alert.id))
            m_unseen.append(alert.id);
    }
    endResetModel();
}

void AlertHistoryModel::forgetUnseen()
{
    m_unseen.clear();
}

QString AlertHistoryModel::text(const AlertHistory::Alert &alert, int column) const
{
    using K = AlertHistory::Kind;
    switch (column) {
    case Time:
        return alert.time.toString(QStringLiteral("dd/MM HH:mm:ss"));
    case Value:
        return m_values.row(alert.value).name;
    case Kind:
        switch (alert.kind) {
        case K::CrossedAbove:
            return QStringLiteral("sopra il livello");
        case K::CrossedBelow:
            return QStringLiteral("sotto il livello");
        case K::Moved:
            return QStringLiteral("variazione");
        case K::Late:
            return QStringLiteral("non letto");
        }
        return QString();
    case Detail:
        if (!alert.number)
            return alert.reason;
        if (alert.kind == K::Moved)
            return (*alert.number > 0 ? QStringLiteral("+") : QString()) + LevelText::grouped(*alert.number, 1)
                   + QStringLiteral(" %");
        return LevelText::price(*alert.number);
    case Delivery:
        return delivery(alert);
    }
    return QString();
}

QString AlertHistoryModel::delivery(const AlertHistory::Alert &alert)
{
    using D = AlertHistory::Desktop;
    using P = AlertHistory::Phone;
    QStringList went;
    if (alert.desktop == D::Shown)
        went << QStringLiteral("desktop");
    else if (alert.desktop == D::ProgramList)
        went << QStringLiteral("elenco del programma");
    switch (alert.phone) {
    case P::NotSent:
        break;
    case P::Pending:
        went << (alert.phoneAttempts == 0 ? QStringLiteral("telefono: in invio")
                                          : QStringLiteral("telefono: non ancora arrivato (tentativi: %1)").arg(alert.phoneAttempts));
        break;
    case P::Delivered:
        went << QStringLiteral("telefono: arrivato");
        break;
    case P::Refused:
        went << QStringLiteral("telefono: rifiutato");
        break;
    case P::GivenUp:
        went << QStringLiteral("telefono: non arrivato in 24 ore");
        break;
    }
    return went.join(QStringLiteral(", "));
}

QVariant AlertHistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_alerts.size())
        return {};
    const AlertHistory::Alert &alert = m_alerts.at(index.row());
    if (role == Qt::DisplayRole)
        return text(alert, index.column());
    // The service's own answer, where the phone's line alone does not say why.
    if (role == Qt::ToolTipRole && index.column() == Delivery && !alert.phoneOutcome.isEmpty())
        return alert.phoneOutcome;
    if (role == Qt::FontRole && m_unseen.contains(alert.id)) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

QVariant AlertHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList headings{QStringLiteral("Ora"), QStringLiteral("Valore"), QStringLiteral("Avviso"),
                                      QStringLiteral("Dettaglio"), QStringLiteral("Consegna")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headings.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return headings.at(section);
}
