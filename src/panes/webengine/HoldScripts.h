#pragma once

#include <QtGlobal>

class QWebEnginePage;

// Keeps one page's documents at a vertical offset from inside: the document shown now, and
// every document the page loads from its creation on (scripts/hold.js, in the program's own
// world). Frames of another origin than their page hold themselves at the page's word.
class HoldScripts final
{
    Q_DISABLE_COPY_MOVE(HoldScripts)
public:
    // From now on every frame the page loads listens for the hold's word.
    explicit HoldScripts(QWebEnginePage &page);

    // Holds at pixels from the top; -1 (or less) lets go at once.
    void hold(int pixels);
    int offset() const { return m_offset; }

private:
    QWebEnginePage &m_page;
    int m_offset = -1;
};
