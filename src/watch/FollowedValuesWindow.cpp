#include "watch/FollowedValuesWindow.h"

#include <algorithm>

#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "watch/DayChart.h"
#include "watch/LevelText.h"

namespace {

enum Column { Name, Last, Time, Change, ChangePercent, State, Above, Below, ColumnCount };

QString number(std::optional<double> value, int decimals)
{
    return value ? LevelText::grouped(*value, decimals) : QString();
}

QString price(std::optional<double> value)
{
    return value ? LevelText::price(*value) : QString();
}

// A difference of two readings, written as the prices beside it: 14,60 - 14,30 is +0,30, and a
// tiny price's change keeps all of its digits.
QString change(const FollowedRow &row)
{
    if (!row.change || !row.last)
        return QString();
    const double first = *row.last - *row.change;
    const QString text =
        number(row.change, qMax(2, qMax(LevelText::decimals(first), LevelText::decimals(*row.last))));
    return *row.change > 0 ? QLatin1Char('+') + text : text;
}

QString percent(std::optional<double> value)
{
    if (!value)
        return QString();
    const QString text = LevelText::grouped(*value, 2) + QStringLiteral(" %");
    return *value > 0 ? QLatin1Char('+') + text : text;
}

} // namespace

FollowedValuesWindow::FollowedValuesWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_empty(new QLabel(QStringLiteral("Nessun valore seguito. Per seguirne uno, cliccate con il tasto destro su un "
                                        "numero della pagina e scegliete \u00abSegui questo valore\u00bb."),
                         this))
    , m_table(new QTableWidget(0, ColumnCount, this))
    , m_chart(new DayChart(this))
{
    setObjectName(QStringLiteral("followedValuesWindow"));
    // The program ends with its last main window, whatever else is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Valori seguiti"));
    resize(860, 680);
    m_table->setObjectName(QStringLiteral("followedValues"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Nome"), QStringLiteral("Ultimo"), QStringLiteral("Ora"),
                                        QStringLiteral("Variazione"), QStringLiteral("Var. %"), QStringLiteral("Stato"),
                                        QStringLiteral("Sopra"), QStringLiteral("Sotto")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(State, QHeaderView::Stretch);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &FollowedValuesWindow::chosenChanged);

    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const QString &caption, const char *name, auto signal) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        m_valueButtons.append(b);
        connect(b, &QPushButton::clicked, this, [this, signal] {
            if (const qint64 id = chosenId())
                signal(id);
        });
    };
    button(QStringLiteral("Rinomina\u2026"), "rename", [this](qint64 id) { emit renameAsked(id); });
    button(QStringLiteral("Avvisami sopra\u2026"), "alertAbove",
           [this](qint64 id) { emit levelAsked(id, BrowserPane::ValueAsk::AlertAbove); });
    button(QStringLiteral("Avvisami sotto\u2026"), "alertBelow",
           [this](qint64 id) { emit levelAsked(id, BrowserPane::ValueAsk::AlertBelow); });
    button(QStringLiteral("Togli gli avvisi"), "clearAlerts", [this](qint64 id) { emit levelsCleared(id); });
    button(QStringLiteral("Margine\u2026"), "margin", [this](qint64 id) { emit marginAsked(id); });
    button(QStringLiteral("Esporta CSV"), "exportCsv", [this](qint64 id) { emit exportAsked(id); });
    button(QStringLiteral("Non seguire pi\u00f9"), "unfollow", [this](qint64 id) { emit unfollowAsked(id); });
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    m_empty->setObjectName(QStringLiteral("noFollowedValues"));
    m_empty->setWordWrap(true);
    layout->addWidget(m_empty);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_chart->view(), 1);
    chosenChanged();
}

FollowedValuesWindow::~FollowedValuesWindow() = default;

void FollowedValuesWindow::setRows(const QList<FollowedRow> &rows)
{
    const qint64 chosen = chosenId();
    m_rows = rows;
    m_empty->setVisible(rows.isEmpty());
    {
    const QSignalBlocker quiet(m_table);
    m_table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const FollowedRow &row = rows.at(r);
        QString state = row.unreadReason.isEmpty() ? QStringLiteral("letto")
                                                   : QStringLiteral("non letto: ") + row.unreadReason;
        if (row.alertedAt.isValid())
            state += QStringLiteral("; avviso alle %1").arg(row.alertedAt.toString(QStringLiteral("HH:mm:ss")));
        // A reading of another day says which: after a night, "17:35:00" alone reads as today's.
        const QString time = !row.lastTime.isValid() ? QString()
            : row.lastTime.date() == QDate::currentDate() ? row.lastTime.toString(QStringLiteral("HH:mm:ss"))
                                                          : row.lastTime.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        const QStringList cells{row.name, price(row.last), time, change(row), percent(row.changePercent),
                                state, price(row.above), price(row.below)};
        for (int c = 0; c < ColumnCount; ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            if (c != Name && c != State)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == Name)
                item->setToolTip(row.address);
            if (row.beyond) {
                item->setBackground(QColor(255, 214, 120));
                // The chosen row's selection hides its background; bold stays.
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            else if (!row.unreadReason.isEmpty() && c == State)
                item->setForeground(QColor(180, 0, 0));
            if ((c == Change || c == ChangePercent) && row.change && *row.change != 0)
                item->setForeground(*row.change > 0 ? QColor(0, 120, 0) : QColor(180, 0, 0));
            m_table->setItem(r, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->clearSelection();
    // The chosen value stays chosen; once it is gone, the first, so the buttons still work.
    const auto kept = std::find_if(rows.cbegin(), rows.cend(), [chosen](const FollowedRow &row) { return row.id == chosen; });
    if (!rows.isEmpty())
        m_table->selectRow(kept != rows.cend() ? int(kept - rows.cbegin()) : 0);
    }
    // Anew each time: the chosen value may have a new reading.
    chosenChanged();
}

void FollowedValuesWindow::showChart(const QString &name, const QList<ValueStore::Reading> &readings,
                                     std::optional<double> above, std::optional<double> below)
{
    m_chart->show(name, readings, above, below);
}

qint64 FollowedValuesWindow::chosenId() const
{
    const int row = m_table->currentRow();
    return row >= 0 && row < m_rows.size() && m_table->selectionModel()->hasSelection() ? m_rows.at(row).id : 0;
}

void FollowedValuesWindow::choose(qint64 id)
{
    for (int r = 0; r < m_rows.size(); ++r) {
        if (m_rows.at(r).id == id) {
            m_table->selectRow(r);
            return;
        }
    }
    m_table->clearSelection();
    chosenChanged();
}

void FollowedValuesWindow::chosenChanged()
{
    const qint64 id = chosenId();
    for (QPushButton *b : m_valueButtons)
        b->setEnabled(id != 0);
    if (id)
        emit chartAsked(id);
    else
        m_chart->clear();
}
