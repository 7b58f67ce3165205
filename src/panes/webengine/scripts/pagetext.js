// How the program's scripts know the elements and numbers of a page, shared by the change
// highlight (changes.js) and the followed values (values.js) so that both find the same cell
// and read the same number. An element's key is its parent's key and its place there: a table
// row by its first cell where that is unique among its siblings, so that a row added above
// does not shift every row below it; anything else by its place among its parent's children.
(function (document) {
    var body = document.body;
    var keys = new Map(), childIndex = new Map(), rowIds = new Map();

    // A row's name as its first cell shows it: the same however the page's source breaks its
    // lines, and short enough to be kept with a followed value.
    function cellText(row) {
        var cell = row.firstElementChild;
        return cell ? cell.textContent.replace(/\s+/g, ' ').trim().slice(0, 60) : '';
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
    // Why the rows around el do not name it for good: 'position' where one is known by its
    // place only, 'volatile' where one is known by a first cell that is no lasting name; null
    // where every one is. A first cell that reads as a number, a time or a date (a clock, a
    // counter, a price, a day's line), or that changed since the program first saw the row
    // (seen: row -> its first cell's text then), gives a key the next load loses.
    function unnamed(el, seen) {
        for (var row = el.parentElement && el.parentElement.closest('tr'); row;
             row = row.parentElement && row.parentElement.closest('tr')) {
            var id = rowId(row);
            if (id === null) return 'position';
            if (number(id) !== null || when.test(id) || (seen.has(row) && seen.get(row) !== id)) return 'volatile';
        }
        return null;
    }
    // Notes the first cell of every row not seen yet, for unnamed to tell one that changes.
    function noteRows(seen) {
        var rows = document.getElementsByTagName('tr');
        for (var i = 0; i < rows.length; ++i)
            if (!seen.has(rows[i])) seen.set(rows[i], cellText(rows[i]));
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
    // Fifteen digits before the decimal mark: beyond that a double no longer holds the cents.
    var largest = 1e15;
    // A number in Italian or English writing, or null where there is none or the writing is
    // unclear. Thousands come in groups of three, the first not starting with 0, with one kind
    // of mark (a dot, a comma or a space), so that a date ("12.03.2024") or a list ("1,2,3") is
    // no number. The level dialog (LevelText) reads by the same rule, as on an Italian page:
    // tests/support/NumberSpellings.h holds the spellings both are tested with.
    function number(text) {
        var t = text.replace(/[\s\u00a0\u202f]+/g, ' ').replace(/ (?!\d)|(?<!\d) /g, '').replace(/\u2212/g, '-')
            .replace(/^([+-]?)[€$£]/, '$1').replace(/[€$£%]$/, '');
        if (!/^[+-]?\d(?:[\d., ]*\d)?$/.test(t)) return null;
        if (t.indexOf(' ') >= 0) {
            if (!/^[+-]?[1-9]\d{0,2}(?: \d{3})+(?:[.,]\d+)?$/.test(t)) return null;
            t = t.replace(/ /g, '').replace(',', '.');
        }
        var digits = t.replace(/^[+-]/, '');
        var last = Math.max(digits.lastIndexOf('.'), digits.lastIndexOf(','));
        var mark = digits.charAt(last), other = mark === '.' ? ',' : '.', decimal = mark;
        if (last < 0 || digits.indexOf(mark) !== last) decimal = other;
        else if (digits.indexOf(other) < 0 && digits.length - last === 4 && /^[1-9]\d{0,2}$/.test(digits.slice(0, last))) {
            // "12.345": a thousands group or decimals, as the page's language says.
            if (!comma && !dot) return null;
            decimal = comma ? ',' : '.';
        }
        var thousands = decimal === ',' ? '.' : ',';
        var parts = digits.split(decimal), whole = parts[0];
        if (parts.length > 2 || (parts.length === 2 && parts[1].indexOf(thousands) >= 0)) return null;
        if (whole.indexOf(thousands) >= 0 && !new RegExp('^[1-9]\\d{0,2}(?:\\' + thousands + '\\d{3})+$').test(whole))
            return null;
        var value = Number((t.charAt(0) === '-' ? '-' : '') + whole.split(thousands).join('')
            + (parts.length === 2 ? '.' + parts[1] : ''));
        return Math.abs(value) < largest ? value : null;
    }

    // A time of day ("17:35", "5:35:02 pm") or a date ("12/03/2024", "2024-03-12", "12 mar
    // 2024", "Mar 12, 2024"), alone or with a time.
    var month = '(?:gen|feb|mar|apr|mag|giu|lug|ago|set|ott|nov|dic|jan|may|jun|jul|aug|sep|oct|dec)[a-z]*\\.?';
    var clock = '\\d{1,2}[:.]\\d{2}(?:[:.]\\d{2})?(?: ?[ap]\\.?m\\.?)?';
    var day = '(?:\\d{1,4}[./-]\\d{1,2}(?:[./-]\\d{1,4})?|\\d{1,2} ' + month + '(?: \\d{2,4})?|' + month
        + ' \\d{1,2}(?:,? \\d{2,4})?)';
    var when = new RegExp('^(?:' + day + '(?:,? ' + clock + ')?|' + clock + ')$', 'i');

    return { placeOf: placeOf, find: find, number: number, headingOf: headingOf, unnamed: unnamed, noteRows: noteRows };
})
