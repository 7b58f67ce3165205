#include "panes/PaneKeys.h"

#include <array>
#include <functional>
#include <initializer_list>
#include <utility>

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "panes/WebEnginePane.h"

namespace {

constexpr std::array ZoomSteps{25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};

} // namespace

PaneKeys::PaneKeys(WebEnginePane &pane, QWidget &frame)
    : QObject(&frame)
    , m_pane(pane)
{
    auto reload = [this] { m_pane.refresh(BrowserPane::Refresh::ByHand); };
    auto zoomIn = [this] { m_pane.setZoomPercent(nextZoom(m_pane.zoomPercent(), 1)); };
    auto zoomOut = [this] { m_pane.setZoomPercent(nextZoom(m_pane.zoomPercent(), -1)); };
    const std::initializer_list<std::pair<QKeySequence, std::function<void()>>> keys = {
        {QKeySequence(Qt::Key_F5), reload},
        {QKeySequence(Qt::CTRL | Qt::Key_R), reload},
        {QKeySequence(Qt::ALT | Qt::Key_Left), [this] { m_pane.goBack(); }},
        {QKeySequence(Qt::ALT | Qt::Key_Right), [this] { m_pane.goForward(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), zoomIn},
        // Where "+" needs Shift (English keyboards), the key under it is "=".
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), zoomIn},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), zoomIn},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), zoomOut},
        {QKeySequence(Qt::CTRL | Qt::Key_0), [this] { m_pane.setZoomPercent(100); }},
    };
    for (const auto &[sequence, action] : keys) {
        // The page's widgets come and go with every refresh; the frame holds them all.
        auto *shortcut = new QShortcut(sequence, &frame);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    }
}

int PaneKeys::nextZoom(int percent, int direction)
{
    if (direction > 0) {
        for (const int step : ZoomSteps) {
            if (step > percent)
                return step;
        }
        return ZoomSteps.back();
    }
    for (auto step = ZoomSteps.rbegin(); step != ZoomSteps.rend(); ++step) {
        if (*step < percent)
            return *step;
    }
    return ZoomSteps.front();
}
