// Notes when the user last pressed a key in a field to type into: a text box or an editable
// text, never a box to tick, a button or a list. Run in the program's own script world from
// each document's creation, where the page can neither read nor fake it; typed.js asks.
document.addEventListener('keydown', function (event) {
    if (!event.isTrusted)
        return;
    var target = event.composedPath ? event.composedPath()[0] : event.target;
    var tag = target && target.tagName;
    if (target && (target.isContentEditable || tag === 'TEXTAREA' ||
                   (tag === 'INPUT' &&
                    !/^(checkbox|radio|button|submit|reset|image|file|range|color|hidden)$/i.test(target.type))))
        window.__quovadexTypedAt = performance.now();
}, true);
