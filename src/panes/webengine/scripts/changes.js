// Runs in the program's own script world after a page has loaded, with pageText (pagetext.js)
// at hand. Takes the text of every element that holds text in view or near it, keyed by its
// place in the document (pageText's placeOf), and compares it with the snapshot of the previous
// load of the same address (null for none). Changed elements get a background that fades: green where a number rose, red where it fell, yellow
// for other text. Returns the new snapshot, or null for a page that is no HTML document.
(function (previous) {
    var body = document.body;
    if (!body || !(document instanceof HTMLDocument))
        return null;
    var skip = { SCRIPT: 1, STYLE: 1, NOSCRIPT: 1, TEMPLATE: 1, TITLE: 1, HEAD: 1 };
    var text = pageText(document), number = text.number;

    // Only what is in view or near it: a subtree wholly outside that band is never walked,
    // so a table of thousands of rows costs its rows' boxes, not its cells. A box without
    // height (display: contents, an empty wrapper of floats) is walked all the same.
    var reach = window.innerHeight, bandTop = -reach, bandBottom = 2 * reach;
    // Grouped by parent, each child by its place: a table row's cells share one key, so the
    // snapshot stays small and cheap to pass to the program and back.
    var now = {}, elementsOf = {};
    function take(el) {
        var place = text.placeOf(el);
        if (!place) return;
        var groupKey = place[0], at = place[1];
        var group = now[groupKey] || (now[groupKey] = {});
        if (at in group) return;
        group[at] = el.textContent.trim();
        (elementsOf[groupKey] || (elementsOf[groupKey] = {}))[at] = el;
    }
    function visit(el) {
        var taken = false;
        for (var c = el.firstChild; c; c = c.nextSibling) {
            if (c.nodeType === 3) {
                if (!taken && el !== body && c.data.trim()) {
                    taken = true;
                    take(el);
                }
            } else if (c.nodeType === 1 && !skip[c.tagName]) {
                var box = c.getBoundingClientRect();
                if (box.height > 0 && (box.bottom < bandTop || box.top > bandBottom)) continue;
                visit(c);
            }
        }
    }
    visit(body);
    if (!previous)
        return now;

    var colours = { up: 'rgb(150,235,150)', down: 'rgb(255,160,160)', other: 'rgb(255,235,140)' };
    for (var g in now) {
        var before = previous[g];
        if (!before) continue;
        var after = now[g], targets = elementsOf[g];
        for (var i in after) {
            if (!(i in before) || before[i] === after[i]) continue;
            var a = number(before[i]), b = number(after[i]), kind = 'other';
            if (a !== null && b !== null) {
                if (a === b) continue;
                kind = b > a ? 'up' : 'down';
            }
            var target = targets[i];
            // An animation, not a style: nothing in the page changes, and the page's own
            // background comes back by itself when it ends. Full for two seconds, then fading.
            target.animate([{ backgroundColor: colours[kind] }, { backgroundColor: colours[kind], offset: 0.4 }],
                           { duration: 5000, easing: 'ease-in' });
        }
    }
    return now;
})
