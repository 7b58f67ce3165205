#pragma once

// What an engine pane is doing, as one state with its transitions in one place: what each
// event makes of each state. No engine here.
class PaneState final
{
public:
    enum class State {
        Loading,      // the shown page loads: GO, back, a link, a reload where it stands
        Loaded,       // the shown page stands loaded
        Failed,       // the shown page's last load failed: the engine's error page
        Refreshing,   // a refresh is prepared out of sight behind the shown page
        Swapping,     // the refreshed view comes to the front, and the focus with it
        EndingFrozen, // the shown page stopped answering and its process is being ended
        Crashed,      // the page's process died: a notice of ours stands in its place
    };
    enum class Event {
        LoadStarted,
        LoadSucceeded,
        LoadFailed,
        Reloading, // the user or a refresh loads the page again after a crash
        RefreshStarted,
        RefreshEnded,
        SwapStarted,
        SwapEnded,
        Frozen,
        Died,
    };

    State state() const { return m_state; }
    bool is(State state) const { return m_state == state; }
    void on(Event event) { m_state = next(m_state, event); }
    static State next(State state, Event event);

private:
    State m_state = State::Loading;
};
