// Whether the user pressed a key in a field to type into (typing.js) within the last ms
// milliseconds.
(function (ms) {
    var at = window.__quovadexTypedAt;
    return at !== undefined && performance.now() - at <= ms;
})
