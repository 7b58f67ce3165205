#include "panes/webengine/PaneState.h"

PaneState::State PaneState::next(State state, Event event)
{
    // The notice after a crash is a page of ours: its loads change nothing. A page being
    // ended as frozen stays so until it dies, so that the notice says why.
    const bool notice = state == State::Crashed;
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
    case Event::RefreshStarted:
        return state == State::Loaded ? State::Refreshing : state;
    case Event::RefreshEnded:
        return state == State::Refreshing ? State::Loaded : state;
    case Event::SwapStarted:
        return State::Swapping;
    case Event::SwapEnded:
        return State::Loaded;
    case Event::Frozen:
        return ending ? state : State::EndingFrozen;
    case Event::Died:
        return State::Crashed;
    }
    return state;
}
