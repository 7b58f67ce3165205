// How the program's scripts know the elements and numbers of a page, shared by the change
// highlight (changes.js) and the followed values (values.js) so that both find the same cell
// and read the same number. An element's key is its parent's key and its place there: a table
// row by its first cell where that is unique among its siblings, so that a row added above
// does not shift every row below it; anything else by its place among its parent's children.
(function (document) {
    var body = document.body;
    var keys = new Map(), childIndex = new Map(), rowIds = new Map();

    function cellText(row) {
        var cell = row.firstElementChild;
        return cell ? cell.textContent.trim() : '';
    }
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
    // The element's parent's key and its place there, a cell by its column; null outside the
    // body. The one way both scripts place an element, so a highlight and a reading agree.
    function placeOf(el) {
        var parent = el.parentElement;
        if (!parent) return null;
        var group = parent === body ? '' : keyOf(parent);
        if (group === null) return null;
        return [group, el.cellIndex !== undefined && el.cellIndex >= 0 ? el.cellIndex : indexOf(el)];
    }
    // The element at a place, walking down from the body along the key; null when gone.
    function find(group, at) {
        var parent = body, here = '';
        while (here !== group) {
            var next = null, c, k;
            for (c = parent.firstElementChild; c && !next; c = c.nextElementSibling)
                if (keyOf(c) === group) next = c;
            for (c = parent.firstElementChild; c && !next; c = c.nextElementSibling) {
                k = keyOf(c);
                if (k !== null && group.lastIndexOf(k + '/', 0) === 0) next = c;
            }
            if (!next) return null;
            parent = next;
            here = keyOf(next);
        }
        for (var e = parent.firstElementChild; e; e = e.nextElementSibling) {
            var p = placeOf(e);
            if (p && p[1] === at) return e;
        }
        return null;
    }

    // The heading over a table cell's column: the header's last row, or a first row all of
    // headings; '' where the table has none. A column added before it shows as another heading.
    function headingOf(el) {
        if (el.cellIndex === undefined || el.cellIndex < 0) return '';
        var table = el.closest('table'), head = null;
        if (!table) return '';
        if (table.tHead && table.tHead.rows.length) head = table.tHead.rows[table.tHead.rows.length - 1];
        else if (table.rows.length && !table.rows[0].querySelector('td')) head = table.rows[0];
        if (!head || head === el.parentElement || !head.cells[el.cellIndex]) return '';
        return head.cells[el.cellIndex].textContent.replace(/\s+/g, ' ').trim().slice(0, 80);
    }

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

    return { placeOf: placeOf, find: find, number: number, headingOf: headingOf };
})
