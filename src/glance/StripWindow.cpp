#include "glance/StripWindow.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSizeGrip>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "common/ProgramSettings.h"
#include "glance/StripModel.h"
#include "watch/FollowedValues.h"

namespace {

// Name on the left, price and change on the right, each line in its sign's colour.
class StripDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, option.widget);
        painter->save();
        QFont font = option.font;
        font.setItalic(index.data(StripModel::LateRole).toBool());
        painter->setFont(font);
        painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
        const QRect r = option.rect.adjusted(4, 0, -4, 0);
        const QFontMetrics metrics(font);
        const QString percent = index.data(StripModel::PercentRole).toString();
        const int percentWidth = metrics.horizontalAdvance(QStringLiteral("+00,00 %"));
        const int priceWidth = metrics.horizontalAdvance(QStringLiteral("00.000,00"));
        painter->drawText(QRect(r.right() - percentWidth, r.top(), percentWidth, r.height()), Qt::AlignRight | Qt::AlignVCenter,
                          percent);
        const QRect priceRect(r.right() - percentWidth - 6 - priceWidth, r.top(), priceWidth, r.height());
        painter->drawText(priceRect, Qt::AlignRight | Qt::AlignVCenter, index.data(StripModel::PriceRole).toString());
        const QRect nameRect(r.left(), r.top(), priceRect.left() - 6 - r.left(), r.height());
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(index.data(StripModel::NameRole).toString(), Qt::ElideRight, nameRect.width()));
        painter->restore();
    }
};

} // namespace

StripWindow::StripWindow(StripModel &model, FollowedValues &values, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_model(model)
    , m_values(values)
    , m_title(new QLabel(QStringLiteral("Striscia dei valori"), this))
    , m_list(new QListView(this))
{
    setObjectName(QStringLiteral("valueStrip"));
    setWindowTitle(QStringLiteral("Striscia dei valori"));
    // Open or not, it does not keep the program running once its main windows are closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    auto *top = new QHBoxLayout;
    m_title->setObjectName(QStringLiteral("stripTitle"));
    m_title->setToolTip(QStringLiteral("Trascinate per spostarla; clic destro per scegliere i valori"));
    m_title->setCursor(Qt::SizeAllCursor);
    m_title->setContentsMargins(4, 1, 4, 1);
    m_title->installEventFilter(this);
    QFont small = m_title->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_title->setFont(small);
    auto *close = new QToolButton(this);
    close->setObjectName(QStringLiteral("stripClose"));
    close->setText(QStringLiteral("\u00d7"));
    close->setAutoRaise(true);
    close->setToolTip(QStringLiteral("Chiudi"));
    connect(close, &QToolButton::clicked, this, &QWidget::close);
    top->addWidget(m_title, 1);
    top->addWidget(close);
    layout->addLayout(top);
    m_list->setObjectName(QStringLiteral("stripLines"));
    m_list->setModel(&model);
    m_list->setItemDelegate(new StripDelegate(m_list));
    // Every line is as tall as the others: the view lays out none of them again on a reading.
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setToolTip(QStringLiteral("Clic su un valore: lo apre in \u00abValori seguiti\u00bb"));
    connect(m_list, &QListView::clicked, this,
            [this](const QModelIndex &index) { emit valueChosen(index.data(StripModel::IdRole).toLongLong()); });
    layout->addWidget(m_list, 1);
    auto *bottom = new QHBoxLayout;
    if (const QString hint = keepAboveHint(QGuiApplication::platformName()); !hint.isEmpty()) {
        auto *note = new QLabel(hint, this);
        note->setObjectName(QStringLiteral("stripKeepAbove"));
        note->setWordWrap(true);
        note->setFont(small);
        bottom->addWidget(note, 1);
    } else {
        bottom->addStretch(1);
    }
    bottom->addWidget(new QSizeGrip(this), 0, Qt::AlignBottom | Qt::AlignRight);
    layout->addLayout(bottom);

    if (!restoreGeometry(ProgramSettings::stripGeometry())) {
        resize(280, 170);
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().topRight() - QPoint(width() + 16, -16));
    }
    model.setHidden(ProgramSettings::stripHiddenValues());
}

StripWindow::~StripWindow() = default;

QString StripWindow::keepAboveHint(const QString &platformName)
{
    if (!platformName.startsWith(QLatin1String("wayland")))
        return QString();
    return QStringLiteral("Per tenerla sopra le altre finestre: \u00abSempre in primo piano\u00bb nel menu della finestra "
                          "(Alt+Spazio su GNOME, Alt+F3 su KDE).");
}

bool StripWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_title)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() != Qt::LeftButton)
            return false;
        // The desktop's own move where it offers one: on Wayland a window cannot place itself.
        if (windowHandle() && windowHandle()->startSystemMove())
            return true;
        m_movingByHand = true;
        m_grab = press->globalPosition().toPoint() - frameGeometry().topLeft();
        return true;
    }
    if (event->type() == QEvent::MouseMove && m_movingByHand) {
        move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_grab);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease)
        m_movingByHand = false;
    return false;
}

void StripWindow::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const QList<qint64> hidden = m_model.hidden();
    for (const FollowedRow &row : m_values.rows()) {
        QAction *action = menu.addAction(row.name);
        action->setCheckable(true);
        action->setChecked(!hidden.contains(row.id));
        connect(action, &QAction::toggled, this, [this, id = row.id](bool shown) { toggleValue(id, shown); });
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("Chiudi"), this, &QWidget::close);
    menu.exec(event->globalPos());
}

void StripWindow::toggleValue(qint64 id, bool shown)
{
    QList<qint64> hidden = m_model.hidden();
    hidden.removeAll(id);
    if (!shown)
        hidden.append(id);
    // Values unfollowed meanwhile are not kept out of anything any more.
    hidden.removeIf([this](qint64 each) { return !m_values.contains(each); });
    m_model.setHidden(hidden);
    ProgramSettings::setStripHiddenValues(hidden);
}

void StripWindow::hideEvent(QHideEvent *event)
{
    ProgramSettings::setStripGeometry(saveGeometry());
    QWidget::hideEvent(event);
}
