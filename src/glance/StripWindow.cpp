#include "glance/StripWindow.h"

#include <functional>

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSizeGrip>
#include <QToolTip>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "common/ProgramSettings.h"
#include "glance/StripModel.h"
#include "watch/FollowedValues.h"

namespace {

// One line per row of the model, painted by hand: a reading repaints its own line and nothing
// else (a QListView here repainted all of them at every reading, Qt 6.4), and nothing is laid
// out again for it. Name on the left, price and change on the right, in the sign's colour.
class StripLines final : public QWidget
{
public:
    StripLines(QAbstractItemModel &model, std::function<void(const QModelIndex &)> chosen, QWidget *parent)
        : QWidget(parent)
        , m_model(model)
        , m_chosen(std::move(chosen))
    {
        setObjectName(QStringLiteral("stripLines"));
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
        connect(&model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &top, const QModelIndex &bottom) {
            update(lineRect(top.row()).united(lineRect(bottom.row())));
        });
        connect(&model, &QAbstractItemModel::modelReset, this, qOverload<>(&QWidget::update));
    }

    int lineHeight() const { return fontMetrics().height() + 4; }
    QRect lineRect(int row) const { return QRect(0, row * lineHeight(), width(), lineHeight()); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        const int first = event->rect().top() / lineHeight();
        const int last = qMin(m_model.rowCount() - 1, event->rect().bottom() / lineHeight());
        QFont font = this->font();
        const QFontMetrics metrics(font);
        const int percentWidth = metrics.horizontalAdvance(QStringLiteral("+00,00 %"));
        const int priceWidth = metrics.horizontalAdvance(QStringLiteral("00.000,00"));
        for (int row = first; row <= last; ++row) {
            const QModelIndex index = m_model.index(row, 0);
            font.setItalic(index.data(StripModel::LateRole).toBool());
            painter.setFont(font);
            painter.setPen(index.data(Qt::ForegroundRole).value<QColor>());
            const QRect r = lineRect(row).adjusted(4, 0, -4, 0);
            painter.drawText(QRect(r.right() - percentWidth, r.top(), percentWidth, r.height()), Qt::AlignRight | Qt::AlignVCenter,
                             index.data(StripModel::PercentRole).toString());
            const QRect priceRect(r.right() - percentWidth - 6 - priceWidth, r.top(), priceWidth, r.height());
            painter.drawText(priceRect, Qt::AlignRight | Qt::AlignVCenter, index.data(StripModel::PriceRole).toString());
            const QRect nameRect(r.left(), r.top(), priceRect.left() - 6 - r.left(), r.height());
            painter.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                             painter.fontMetrics().elidedText(index.data(StripModel::NameRole).toString(), Qt::ElideRight,
                                                              nameRect.width()));
        }
    }
    void mousePressEvent(QMouseEvent *event) override { m_pressed = rowAt(event->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const int row = rowAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && row >= 0 && row == m_pressed)
            m_chosen(m_model.index(row, 0));
        m_pressed = -1;
    }
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip) {
            const auto *help = static_cast<QHelpEvent *>(event);
            const int row = rowAt(help->pos());
            const QString line = row >= 0 ? m_model.index(row, 0).data(Qt::ToolTipRole).toString() : QString();
            QToolTip::showText(help->globalPos(), line.isEmpty() ? toolTip() : line, this);
            return true;
        }
        return QWidget::event(event);
    }

private:
    int rowAt(const QPoint &point) const
    {
        const int row = point.y() / lineHeight();
        return point.y() >= 0 && row < m_model.rowCount() ? row : -1;
    }

    QAbstractItemModel &m_model;
    std::function<void(const QModelIndex &)> m_chosen;
    int m_pressed = -1;
};

} // namespace

StripWindow::StripWindow(StripModel &model, FollowedValues &values, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_model(model)
    , m_values(values)
    , m_title(new QLabel(QStringLiteral("Striscia dei valori"), this))
    , m_lines(new StripLines(
          model, [this](const QModelIndex &index) { emit valueChosen(index.data(StripModel::IdRole).toLongLong()); }, this))
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
    connect(close, &QToolButton::clicked, this, &StripWindow::closeByHand);
    top->addWidget(m_title, 1);
    top->addWidget(close);
    layout->addLayout(top);
    m_lines->setToolTip(QStringLiteral("Clic su un valore: lo apre in \u00abValori seguiti\u00bb"));
    layout->addWidget(m_lines, 1);
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

    model.setHidden(ProgramSettings::stripHiddenValues());
    if (!restoreGeometry(ProgramSettings::stripGeometry())) {
        // Room for every line, and the title and the corner.
        resize(280, m_title->sizeHint().height() + 24 + qMax(3, model.rowCount()) * lineRect(0).height());
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().topRight() - QPoint(width() + 16, -16));
    }
}

StripWindow::~StripWindow() = default;

QWidget &StripWindow::lines() const
{
    return *m_lines;
}

QRect StripWindow::lineRect(int row) const
{
    return static_cast<StripLines *>(m_lines)->lineRect(row);
}

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
    menu.addAction(QStringLiteral("Chiudi"), this, &StripWindow::closeByHand);
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

// Only the user's own close keeps it closed at the next start: the program's end closes every
// window too (Qt 6's quit), and the strip open then opens again.
void StripWindow::closeByHand()
{
    ProgramSettings::setStripOpen(false);
    close();
}

void StripWindow::hideEvent(QHideEvent *event)
{
    ProgramSettings::setStripGeometry(saveGeometry());
    QWidget::hideEvent(event);
}
