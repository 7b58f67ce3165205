#pragma once

#include <optional>
#include <utility>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "common/ProgramSettings.h"
#include "panes/ValueReading.h"

class QAction;
class QWidget;

// Everything the program asks of a web pane. The main window and every other part of the
// program reach the web engine only through this interface, so that window tests can use
// a recording double instead of a real engine.
//
// None of the operations reports a failure to the caller: a navigation to nonsense, a
// back step without history or a scroll write before the page has a body are all silent.
// How each load ended comes afterwards through the signals, for the pane's state label.
class BrowserPane : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserPane)
public:
    ~BrowserPane() override;

    // The widget that shows the page; the window parents and places it.
    virtual QWidget *widget() = 0;

    // Any text: web addresses, bare host names, absolute or relative file paths (relative to
    // the working folder), or empty text, which shows a blank page.
    virtual void navigate(const QString &address) = 0;
    // What navigate() makes of a text, relative names taken in folder; empty text gives
    // about:blank.
    static QUrl addressToUrl(const QString &address, const QString &folder);
    // The folder of the window the pane is in; never the process's current one, which is
    // the same for every window.
    void setWorkingFolder(const QString &folder) { m_folder = folder; }
    QString workingFolder() const { return m_folder; }
    // false when there is no earlier or later page; callers ignore it.
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;

    // Who asked for a refresh. ByHand: the pane's own reload ("A", F5, its menu), which leaves
    // the scroll hold as the user left it. ChosenByHand: "Aggiorna" on the chosen panes, which
    // resumes their holds. Automatic: the cycle, which resumes the holds too but leaves a page
    // alone while the user is typing into it. A refresh by hand always goes ahead.
    enum class Refresh { ByHand, ChosenByHand, Automatic };
    // Brings the page up to date. A refresh that fails keeps the page that was shown.
    virtual void refresh(Refresh kind = Refresh::ByHand) = 0;
    virtual void stop() = 0;

    virtual QString locationUrl() const = 0;
    virtual QString locationName() const = 0;

    // Keeps the document at a vertical scroll offset in pixels until released: the page is put
    // back whenever it moves or its content changes, and every document the pane loads opens
    // there. Returns at once; a page shorter than the offset stands at its end, a page without
    // a body is left alone.
    virtual void holdScrollTop(int pixels) = 0;
    // Leaves the page where it stands, and every later document where it opens.
    virtual void releaseScrollTop() = 0;

    // Whether each load highlights what changed since the last load of the same address.
    virtual void setHighlightChanges(bool on) = 0;

    // Keeps the zoom the user chooses on each site in the program's settings, under the
    // pane's place (the two panes may show one site at two sizes), and puts it back at every
    // load. A pane never told keeps whatever zoom it has.
    void keepZoomPerSite(ProgramSettings::Pane which) { m_zoomKeptAs = which; }

    // Placement in twips in the window's coordinates; the widget's own geometry is in pixels.
    // Reading back gives what the toolkit stored, which is whole pixels.
    double leftTwips() const;
    double topTwips() const;
    double widthTwips() const;
    double heightTwips() const;
    void setLeftTwips(double twips);
    void setTopTwips(double twips);
    void setWidthTwips(double twips);
    void setHeightTwips(double twips);

    // Actions of the program's own for the pane's context menu, after the page's few; the
    // caller keeps them, and one deleted simply leaves the menu.
    void addMenuAction(QAction *action);
    QList<QAction *> menuActions() const;

    // Every value the program follows, of any address: the pane reads those of the page it
    // shows at every load and refresh, and when the page changes them itself (valuesRead).
    // Until this is called, its menu offers nothing for following values.
    virtual void setFollowedPlaces(const QList<ValuePlace> &places) = 0;
    // The followed values whose alerts go to the phone as well: the menu shows them ticked.
    void setPhonePlaces(const QList<ValuePlace> &places) { m_phonePlaces = places; }
    bool alertsPhone(const ValuePlace &place) const { return m_phonePlaces.contains(place); }
    // The markets a followed value may be on, by caption, and the one each followed value is on,
    // as an index into them: the menu's "Mercato" ticks it. The pane knows no market itself.
    struct MarketChoice
    {
        QStringList captions;
        int current = -1;
    };
    void setMarketChoices(const QStringList &captions, const QList<std::pair<ValuePlace, int>> &current)
    {
        m_marketCaptions = captions;
        m_placeMarkets = current;
    }
    MarketChoice marketChoice(const ValuePlace &place) const;
    // What the user asked for in the pane's menu on a number of the page.
    enum class ValueAsk { Follow, AlertAbove, AlertBelow, Unfollow, AlertMove, AlertPhone };

signals:
    // The pane received the input focus, by a click into the page or otherwise.
    void gotFocus();

    // A page finished loading and is shown.
    void loaded();
    // A load failed. pageKept: a refresh that left the last page on screen; otherwise the
    // pane shows the engine's error page. reason is for people: the error or the HTTP status.
    void loadFailed(const QString &reason, bool pageKept);
    // A refresh goes ahead now: what the pane is told in reply (the offset to hold) applies
    // to it. Never sent for a refresh that is put off.
    void refreshStarting(BrowserPane::Refresh kind);
    // The automatic refresh was put off because the user is typing into the page.
    void refreshPutOff();
    // While a page or a refresh loads: 0 to 100; 100 also when it ends in any way.
    void loadProgress(int percent);
    // The page is shown at this zoom, in percent; 100 is the page's own size.
    void zoomChanged(int percent);
    // The user clicked a link or button of the page that asks for a new window; the page
    // shown stays, and address is for a window of its own.
    void newWindowRequested(const QString &address);
    // A download the user asked for in this pane was saved at path.
    void downloaded(const QString &path);
    // A download of the user's was stopped and nothing of it kept; reason is for people.
    void downloadStopped(const QString &name, const QString &reason);
    // The followed values of the page just shown, read or not, each with the reason. Nothing
    // comes from a refresh that was dropped or put off.
    void valuesRead(const QList<ValueReading> &readings);
    void valueAsked(BrowserPane::ValueAsk ask, const ValuePick &pick);
    // The user put a followed value on another market: choice indexes the captions given.
    void marketChosen(const ValuePlace &place, int choice);

protected:
    explicit BrowserPane(QObject *parent = nullptr);

    // The zoom in percent kept for url's site; none while the pane keeps none.
    std::optional<int> keptZoom(const QUrl &url) const;
    // The user chose percent on url.
    void keepZoom(const QUrl &url, int percent) const;

private:
    const QWidget *placed() const;

    std::optional<ProgramSettings::Pane> m_zoomKeptAs;

    QList<QPointer<QAction>> m_menuActions;
    QList<ValuePlace> m_phonePlaces;
    QStringList m_marketCaptions;
    QList<std::pair<ValuePlace, int>> m_placeMarkets;
    QString m_folder;
};
