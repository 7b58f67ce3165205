#include "panes/PaneSplit.h"

#include <algorithm>

#include <QMouseEvent>

#include "panes/BrowserPane.h"

PaneSplit::PaneSplit(BrowserPane &upper, BrowserPane &lower, QWidget *parent)
    : QWidget(parent)
    , m_upper(upper)
    , m_lower(lower)
{
    setObjectName(QStringLiteral("paneSplit"));
    setCursor(Qt::SplitVCursor);
    setToolTip(QStringLiteral("Trascinate per cambiare l'altezza dei due riquadri; doppio clic per tornare "
                              "a quella iniziale"));
}

void PaneSplit::setShare(std::optional<double> share)
{
    m_share = share ? std::optional(std::clamp(*share, LeastShare, 1 - LeastShare)) : std::nullopt;
}

void PaneSplit::place()
{
    const QRect upper = m_upper.widget()->geometry();
    const int lowerTop = m_lower.widget()->y();
    setGeometry(upper.left(), upper.bottom() + 1, upper.width(), qMax(2, lowerTop - upper.bottom() - 1));
    raise();
}

void PaneSplit::mousePressEvent(QMouseEvent *event)
{
    m_grip = event->position().toPoint().y();
}

void PaneSplit::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int both = m_upper.widget()->height() + m_lower.widget()->height();
    if (both <= 0)
        return;
    const int upperHeight = mapToParent(event->position().toPoint()).y() - m_grip - m_upper.widget()->y();
    setShare(double(upperHeight) / both);
    emit moved();
}

void PaneSplit::mouseDoubleClickEvent(QMouseEvent *)
{
    setShare(std::nullopt);
    emit moved();
}
