#include "panes/webengine/PaneState.h"

PaneState::State PaneState::next(State state, Event event)
{
    // The notice after a death is a page of ours: its loads change nothing. A page being
    // ended as frozen stays so until it dies, whatever else ends meanwhile (a refresh
    // prepared in the same process dies with it), so that the notice says why.
    const bool notice = state == State::Crashed || state == State::EndedFrozen;
    const bool ending = notice || state == State::EndingFrozen;
    switch (event) {
    case Event::LoadStarted:
        return ending ? state : State::Loading;
    case Event::LoadSucceeded:
        return notice ? state : State::Loaded;
    case Event::LoadFailed:
        return ending ? state : State::Failed;
    case Event::Reloading:
        return State::Loading;
    case Event::Frozen:
        return ending ? state : State::EndingFrozen;
    case Event::Died:
        return state == State::EndingFrozen || state == State::EndedFrozen ? State::EndedFrozen : State::Crashed;
    }
    return state;
}
