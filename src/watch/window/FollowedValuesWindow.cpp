#include "watch/window/FollowedValuesWindow.h"

#include <tuple>

#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "common/ProgramSettings.h"
#include "watch/window/AlertHistoryModel.h"
#include "watch/window/DayChart.h"
#include "watch/window/FollowedValuesModel.h"

FollowedValuesWindow::FollowedValuesWindow(FollowedValuesModel &model, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_model(model)
    , m_sorted(new QSortFilterProxyModel(this))
    , m_empty(new QLabel(QStringLiteral("Nessun valore seguito. Per seguirne uno, cliccate con il tasto destro su un "
                                        "numero della pagina e scegliete \u00abSegui questo valore\u00bb."),
                         this))
    , m_note(new QLabel(this))
    , m_alerts(new QTableView(this))
    , m_table(new QTableView(this))
    , m_chart(new DayChart(this))
    , m_interval(new QComboBox(this))
{
    setObjectName(QStringLiteral("followedValuesWindow"));
    // The program ends with its last main window, whatever else is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Valori seguiti"));
    resize(860, 860);
    m_sorted->setSourceModel(&model);
    m_sorted->setSortRole(FollowedValuesModel::SortRole);
    m_table->setObjectName(QStringLiteral("followedValues"));
    m_table->setModel(m_sorted);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(FollowedValuesModel::State, QHeaderView::Stretch);
    // In the order followed until the user clicks a heading.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &FollowedValuesWindow::showRowMenu);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FollowedValuesWindow::checkChosen);
    connect(m_sorted, &QAbstractItemModel::rowsInserted, this, &FollowedValuesWindow::rowsCameOrWent);
    connect(m_sorted, &QAbstractItemModel::rowsRemoved, this, &FollowedValuesWindow::rowsCameOrWent);

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
    button(QStringLiteral("Avvisami se varia del\u2026"), "alertMove",
           [this](qint64 id) { emit levelAsked(id, BrowserPane::ValueAsk::AlertMove); });
    button(QStringLiteral("Togli gli avvisi"), "clearAlerts", [this](qint64 id) { emit alertsCleared(id); });
    button(QStringLiteral("Margine\u2026"), "margin", [this](qint64 id) { emit marginAsked(id); });
    button(QStringLiteral("Esporta CSV"), "exportCsv", [this](qint64 id) { emit exportAsked(id); });
    // The whole watch, so always there.
    for (const auto &[caption, name, signal] :
         {std::tuple(QStringLiteral("Esporta\u2026"), "exportWatch", &FollowedValuesWindow::watchExportAsked),
          std::tuple(QStringLiteral("Importa\u2026"), "importWatch", &FollowedValuesWindow::watchImportAsked)}) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, signal);
    }
    button(QStringLiteral("Non seguire pi\u00f9"), "unfollow", [this](qint64 id) { emit unfollowAsked(id); });
    buttons->addStretch();
    m_interval->setObjectName(QStringLiteral("readInterval"));
    m_interval->setToolTip(QStringLiteral("Un valore che nessun riquadro mostra \u00e8 letto in una pagina nascosta "
                                          "a questo intervallo"));
    for (const int minutes : {1, 2, 3, 5})
        m_interval->addItem(minutes == 1 ? QStringLiteral("1 minuto") : QStringLiteral("%1 minuti").arg(minutes), minutes);
    auto *intervalLabel = new QLabel(QStringLiteral("Leggi ogni"), this);
    intervalLabel->setBuddy(m_interval);
    buttons->addWidget(intervalLabel);
    buttons->addWidget(m_interval);
    connect(m_interval, &QComboBox::activated, this,
            [this](int index) {
                setIntervalMinutes(m_interval->itemData(index).toInt());
                emit intervalChosen(m_interval->itemData(index).toInt());
            });

    auto *layout = new QVBoxLayout(this);
    m_empty->setObjectName(QStringLiteral("noFollowedValues"));
    m_empty->setWordWrap(true);
    layout->addWidget(m_empty);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_chart->view(), 1);
    m_note->setObjectName(QStringLiteral("calendarNote"));
    m_note->setWordWrap(true);
    m_note->hide();
    layout->insertWidget(0, m_note);
    auto *alertsTitle = new QLabel(QStringLiteral("Avvisi"), this);
    alertsTitle->setObjectName(QStringLiteral("alertHistoryTitle"));
    layout->addWidget(alertsTitle);
    m_alerts->setObjectName(QStringLiteral("alertHistory"));
    m_alerts->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_alerts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_alerts->verticalHeader()->hide();
    m_alerts->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_alerts);
    restoreViewState();
    rowsCameOrWent();
    checkChosen();
}

// Open when the program ends: kept as at a close.
FollowedValuesWindow::~FollowedValuesWindow()
{
    if (isVisible())
        saveViewState();
}

void FollowedValuesWindow::closeEvent(QCloseEvent *event)
{
    saveViewState();
    QWidget::closeEvent(event);
}

void FollowedValuesWindow::saveViewState() const
{
    ProgramSettings::setLayout(ProgramSettings::Layout::FollowedValuesWindow, saveGeometry());
    ProgramSettings::setLayout(ProgramSettings::Layout::FollowedValuesColumns, m_table->horizontalHeader()->saveState());
}

void FollowedValuesWindow::restoreViewState()
{
    restoreGeometry(ProgramSettings::layout(ProgramSettings::Layout::FollowedValuesWindow));
    QHeaderView *header = m_table->horizontalHeader();
    if (!header->restoreState(ProgramSettings::layout(ProgramSettings::Layout::FollowedValuesColumns)))
        return;
    m_widthsKept = true;
    // The header takes back its sort indicator without telling the view, which would sort.
    m_sorted->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
}

void FollowedValuesWindow::showAlertHistory(AlertHistoryModel &alerts)
{
    m_alerts->setModel(&alerts);
    m_alerts->resizeColumnsToContents();
    connect(&alerts, &QAbstractItemModel::modelReset, m_alerts, &QTableView::resizeColumnsToContents);
}

void FollowedValuesWindow::setNote(const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

void FollowedValuesWindow::setIntervalMinutes(int minutes)
{
    if (const int index = m_interval->findData(minutes); index >= 0)
        m_interval->setCurrentIndex(index);
    // A value unread for twice its interval is late; so long a silence is a gap in its line.
    m_chart->setGapAfter(2 * 60 * qint64(minutes));
}

qint64 FollowedValuesWindow::chosenId() const
{
    const QModelIndexList chosen = m_table->selectionModel()->selectedRows();
    return chosen.isEmpty() ? 0 : chosen.first().data(FollowedValuesModel::IdRole).toLongLong();
}

void FollowedValuesWindow::choose(qint64 id)
{
    const int row = m_model.rowOf(id);
    if (row < 0) {
        m_table->clearSelection();
        return;
    }
    const QModelIndex shown = m_sorted->mapFromSource(m_model.index(row, 0));
    m_table->selectionModel()->setCurrentIndex(
        shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_table->scrollTo(shown);
}

// Widths follow the contents when values come, never at a reading, and never once the user's
// widths of an earlier run are back.
void FollowedValuesWindow::rowsCameOrWent()
{
    const int rows = m_sorted->rowCount();
    m_empty->setVisible(rows == 0);
    if (!m_widthsKept)
        m_table->resizeColumnsToContents();
    // The chosen value gone, the first is chosen, so the buttons still work.
    if (rows > 0 && !m_table->selectionModel()->hasSelection())
        m_table->selectRow(0);
    checkChosen();
}

void FollowedValuesWindow::checkChosen()
{
    const qint64 id = chosenId();
    for (QPushButton *b : std::as_const(m_valueButtons))
        b->setEnabled(id != 0);
    if (id == m_chosen)
        return;
    m_chosen = id;
    emit chosenChanged(id);
}

void FollowedValuesWindow::showRowMenu(const QPoint &at)
{
    const QModelIndex index = m_table->indexAt(at);
    if (!index.isValid())
        return;
    const qint64 id = index.data(FollowedValuesModel::IdRole).toLongLong();
    const auto current = MarketId(index.data(FollowedValuesModel::MarketRole).toInt());
    QMenu menu(this);
    QMenu *markets = menu.addMenu(QStringLiteral("Mercato"));
    markets->setObjectName(QStringLiteral("marketMenu"));
    for (const Markets::Row &row : Markets::rows()) {
        QAction *action = markets->addAction(row.caption);
        action->setCheckable(true);
        action->setChecked(row.id == current);
        connect(action, &QAction::triggered, this, [this, id, market = row.id] { emit marketChosen(id, market); });
    }
    menu.exec(m_table->viewport()->mapToGlobal(at));
}
