#pragma once

// What the page an engine pane shows is doing, as one state with its transitions in one
// place: what each event makes of each state. A refresh prepared out of sight is no state of
// the shown page: the pane has one while it holds a PendingRefresh. No engine here.
class PaneState final
{
public:
    enum class State {
        Loading,      // the shown page loads: GO, back, a link, a reload where it stands
        Loaded,       // the shown page stands loaded
        Failed,       // the shown page's last load failed: the engine's error page
        EndingFrozen, // the shown page stopped answering and its process is being ended
        EndedFrozen,  // its process was ended for it: a notice of ours says so in its place
        Crashed,      // the page's process died by itself: a notice of ours stands in its place
    };
    enum class Event {
        LoadStarted,
        LoadSucceeded,
        LoadFailed,
        Reloading, // the user or a refresh loads the page again after its process died
        Frozen,
        Died,
    };

    State state() const { return m_state; }
    bool is(State state) const { return m_state == state; }
    // A notice of ours stands in the page's place.
    bool isDead() const { return is(State::Crashed) || is(State::EndedFrozen); }
    void on(Event event) { m_state = next(m_state, event); }
    static State next(State state, Event event);

private:
    State m_state = State::Loading;
};
