// Runs in the program's own script world after a page has loaded. Takes the text of every
// element that holds text in view or near it, keyed by its place in the document, and compares
// it with the snapshot of the previous load of the same address (null for none). Changed
// elements get a background that fades: green where a number rose, red where it fell, yellow
// for other text. Returns the new snapshot, or null for a page that is no HTML document.
(function (previous) {
    var body = document.body;
    if (!body || !(document instanceof HTMLDocument))
        return null;
    var skip = { SCRIPT: 1, STYLE: 1, NOSCRIPT: 1, TEMPLATE: 1, TITLE: 1, HEAD: 1 };
    var keys = new Map(), childIndex = new Map(), rowIds = new Map();

    function cellText(row) {
        var cell = row.firstElementChild;
        return cell ? cell.textContent.trim() : '';
    }
    // Rows are keyed by their first cell where it is unique among their siblings, so that a row
    // added above does not shift every row below it.
    function rowId(row) {
        var parent = row.parentElement, counts = rowIds.get(parent);
        if (!counts) {
            counts = new Map();
            for (var r = parent.firstElementChild; r; r = r.nextElementSibling) {
                if (r.tagName !== 'TR') continue;
                var t = cellText(r);
                if (t) counts.set(t, (counts.get(t) || 0) + 1);
            }
            rowIds.set(parent, counts);
        }
        var id = cellText(row);
        return id && counts.get(id) === 1 ? id : null;
    }
    function indexOf(el) {
        var parent = el.parentElement, indices = childIndex.get(parent);
        if (!indices) {
            indices = new Map();
            var i = 0;
            for (var c = parent.firstElementChild; c; c = c.nextElementSibling) indices.set(c, i++);
            childIndex.set(parent, indices);
        }
        return indices.get(el);
    }
    function keyOf(el) {
        if (el === body) return '';
        var known = keys.get(el);
        if (known !== undefined) return known;
        var parent = el.parentElement;
        if (!parent) return null;
        var up = keyOf(parent);
        if (up === null) return null;
        var id = el.tagName === 'TR' ? rowId(el) : null;
        var key = up + '/' + el.tagName + (id !== null ? '#' + id : ':' + indexOf(el));
        keys.set(el, key);
        return key;
    }

    // Only what is in view or near it: a subtree wholly outside that band is never walked,
    // so a table of thousands of rows costs its rows' boxes, not its cells. A box without
    // height (display: contents, an empty wrapper of floats) is walked all the same.
    var reach = window.innerHeight, bandTop = -reach, bandBottom = 2 * reach;
    // Grouped by parent, each child by its place: a table row's cells share one key, so the
    // snapshot stays small and cheap to pass to the program and back.
    var now = {}, elementsOf = {};
    function take(el) {
        var parent = el.parentElement;
        if (!parent) return;
        var groupKey = parent === body ? '' : keyOf(parent);
        if (groupKey === null) return;
        var group = now[groupKey] || (now[groupKey] = {});
        var at = el.cellIndex !== undefined && el.cellIndex >= 0 ? el.cellIndex : indexOf(el);
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

    var lang = (document.documentElement.lang || '').toLowerCase();
    var comma = /^(it|de|fr|es|pt|nl)\b/.test(lang), dot = /^en\b/.test(lang);
    // A number in Italian or English writing, or null where the writing is unclear.
    function number(text) {
        var t = text.replace(/[\s\u00a0\u202f]/g, '').replace(/^[€$£]|[€$£%]$/g, '').replace('\u2212', '-');
        if (!/^[+-]?\d[\d.,]*$/.test(t)) return null;
        var dots = (t.match(/\./g) || []).length, commas = (t.match(/,/g) || []).length;
        var decimal = null;
        if (dots && commas) decimal = t.lastIndexOf('.') > t.lastIndexOf(',') ? '.' : ',';
        else if (dots + commas === 1) {
            // "12.345": a thousands group or decimals, as the page's language says. Other
            // digit counts ("3,5", "1234.567", "0.001") can only be decimals.
            var mark = dots ? '.' : ',', at = t.indexOf(mark);
            var before = t.replace(/^[+-]/, '').indexOf(mark);
            if (t.length - at - 1 !== 3 || before > 3 || /^[+-]?0[.,]/.test(t)) decimal = mark;
            else if (comma || dot) decimal = comma ? ',' : '.';
            else return null;
        } else if (dots > 1) decimal = ',';
        else if (commas > 1) decimal = '.';
        var thousands = decimal === ',' ? '.' : ',';
        var plain = t.split(thousands).join('');
        if (decimal === ',') plain = plain.replace(',', '.');
        var value = parseFloat(plain);
        return isFinite(value) ? value : null;
    }

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
