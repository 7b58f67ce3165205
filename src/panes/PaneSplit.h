#pragma once

#include <optional>

#include <QWidget>

class BrowserPane;

// The thin bar between the two panes. Dragged, it moves the boundary between them; a double
// click puts back the design's. It says where the boundary is to be; the window lays out.
class PaneSplit final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneSplit)
public:
    PaneSplit(BrowserPane &upper, BrowserPane &lower, QWidget *parent);

    // The upper pane's part of the two panes' height; none for the design's.
    std::optional<double> share() const { return m_share; }
    // Kept within bounds that leave either pane a page's worth of lines.
    void setShare(std::optional<double> share);
    // Between the panes as they stand.
    void place();

signals:
    void moved();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    static constexpr double LeastShare = 0.1;

    BrowserPane &m_upper;
    BrowserPane &m_lower;
    std::optional<double> m_share;
    // Where in the bar the user took it, so that it does not jump under the pointer.
    int m_grip = 0;
};
