// A window the page asks for without the user's click is refused in the page itself, so the
// request never reaches the program. Run in the page's own world from each document's creation.
(function () {
    var open = window.open, activation = navigator.userActivation;
    if (!open || !activation)
        return;
    window.open = function () {
        return activation.isActive ? open.apply(window, arguments) : null;
    };
})();
