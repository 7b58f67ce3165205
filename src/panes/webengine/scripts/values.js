// Installed once per document in the program's own script world, with pageText (pagetext.js)
// at hand, so a followed value is found and read exactly as the change highlight finds and
// reads it; each request is then a short call. One request:
//   { read: [[group, index], ...] }  gives { found, text, number (or null), heading } for each
//                                     place, and signIn where one not found stands on a page
//                                     asking to sign in;
//   { pick: [x, y] }                 gives the element at that point in CSS pixels as
//                                     { group, index, name, text, number, why, heading }, or
//                                     null; why says what keeps it from being followed (null
//                                     for nothing, see pageText's unnamed);
//   { watch: [[group, index], ...] } tells the program, through the console and at most once
//                                     a second, that the page has changed one of them itself.
(function (request) {
    var body = document.body;
    if (!body || !(document instanceof HTMLDocument))
        return null;
    var text = pageText(document);
    // Every row's first cell as the document had it when this script came in (the program
    // calls it once then), so that a row the page renames later (a clock, a ticker) is told.
    var seen = window.quovadexRows;
    if (!seen) text.noteRows(seen = window.quovadexRows = new WeakMap());
    function own(el) {
        for (var c = el.firstChild; c; c = c.nextSibling)
            if (c.nodeType === 3 && c.data.trim()) return true;
        return false;
    }
    function short(s) { return s.replace(/\s+/g, ' ').trim().slice(0, 80); }

    // A visible password field and no table of numbers: the site asks to sign in again, and
    // the value is not gone from a page that changed.
    function signIn() {
        var asks = Array.prototype.some.call(document.querySelectorAll('input[type=password]'), function (input) {
            return input.getClientRects().length > 0 && getComputedStyle(input).visibility !== 'hidden';
        });
        return asks && !Array.prototype.some.call(document.querySelectorAll('table td'), function (cell) {
            return text.number(cell.textContent.trim()) !== null;
        });
    }

    if (request.read) {
        var signedOut;
        return request.read.map(function (place) {
            var el = text.find(place[0], place[1]);
            if (!el) {
                if (signedOut === undefined) signedOut = signIn();
                return { found: false, signIn: signedOut };
            }
            var t = el.textContent.trim();
            return { found: true, text: t.slice(0, 80), number: text.number(t), heading: text.headingOf(el) };
        });
    }

    if (request.pick) {
        var el = document.elementFromPoint(request.pick[0], request.pick[1]);
        if (!el || el === body || el === document.documentElement) return null;
        // A cell around a number in a span of its own: the span holds the text.
        if (!own(el)) {
            var walker = document.createTreeWalker(el, NodeFilter.SHOW_TEXT, {
                acceptNode: function (n) { return n.data.trim() ? NodeFilter.FILTER_ACCEPT : NodeFilter.FILTER_SKIP; }
            });
            var first = walker.nextNode();
            if (!first || walker.nextNode()) return null;
            el = first.parentElement;
        }
        var place = text.placeOf(el);
        if (!place) return null;
        var value = el.textContent.trim(), name = '';
        var row = el.closest('tr');
        if (row && row.firstElementChild && row.firstElementChild !== el && !row.firstElementChild.contains(el))
            name = short(row.firstElementChild.textContent);
        // Outside a table: the nearest text before it that is not itself a number.
        for (var up = el; !name && up && up !== body; up = up.parentElement) {
            for (var s = up.previousElementSibling; s && !name; s = s.previousElementSibling) {
                var label = short(s.textContent);
                if (label && text.number(label) === null) name = label;
            }
        }
        return { group: place[0], index: place[1], name: name || short(document.title), text: value.slice(0, 80),
                 number: text.number(value), why: text.unnamed(el, seen), heading: text.headingOf(el) };
    }

    if (request.watch) {
        var watch = window.quovadexWatch || (window.quovadexWatch = { last: 0, timer: 0, observer: null });
        if (watch.observer) watch.observer.disconnect();
        watch.observer = new MutationObserver(function () {
            if (watch.timer) return;
            watch.timer = setTimeout(function () {
                watch.timer = 0;
                watch.last = Date.now();
                console.log('quovadex:values-changed');
            }, Math.max(0, watch.last + 1000 - Date.now()));
        });
        request.watch.forEach(function (place) {
            var el = text.find(place[0], place[1]);
            // The whole table: a page that draws a row anew replaces the cell itself.
            var root = el && (el.closest('table') || el.parentElement);
            if (root) watch.observer.observe(root, { subtree: true, childList: true, characterData: true });
        });
        return true;
    }
    return null;
})
