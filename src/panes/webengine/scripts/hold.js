// Keeps a document at a vertical offset from the inside, in the program's own script world where
// the page can neither see nor undo it: put back before the next frame whenever it scrolls or
// changes its size (a reload growing row by row, a table rebuilt by the page's own script, late
// images), so an idle held page costs nothing and a moved one is back at once.
// A document that loads while held stays out of sight until it stands at the offset (or its
// parsing ends, or 1.5 s pass): the engine meanwhile keeps showing the page before it, and the
// new one is never seen at its top first.
// Where the document itself does not scroll (a page laid out in a scrolling box, a frameset),
// the largest box or same-site frame that does is held instead; where there is none, the
// largest frame of another origin is told to hold itself (a local page's frames are all of
// other origins, so that the page cannot read them), in a message with the program's key.
// Run again on a document that has it, it only moves the offset or lets go (-1).
(function (top, key) {
    var held = window.__quovadexHold;
    if (held) { held.set(top); return; }
    if (top < 0) return;
    var on = true, ro = null, mo = null, veil = null, inner = null, searched = -1000, retry = 0;
    var watchedFrames = [], remote = null;

    function show() {
        if (!veil) return;
        var v = veil;
        veil = null;
        document.adoptedStyleSheets = document.adoptedStyleSheets.filter(function (s) { return s !== v; });
    }
    function scrolls(e) { return e && e.scrollHeight > e.clientHeight + 1; }
    // The largest scrolling box or same-site frame, looked for at most five times a second; a
    // look put off is made when the time comes, or a box that grew meanwhile would be missed.
    function largest() {
        var now = performance.now();
        if (now - searched < 200) {
            if (!retry) retry = setTimeout(function () { retry = 0; put(); }, 200 - (now - searched));
            return null;
        }
        searched = now;
        var best = null, area = 0, far = null, farArea = 0, all = document.body.getElementsByTagName('*');
        for (var i = 0; i < all.length; i++) {
            var c = all[i], target = null;
            if (c.tagName === 'FRAME' || c.tagName === 'IFRAME') {
                var d = null;
                try { d = c.contentDocument; } catch (x) { d = null; }
                target = d && (d.scrollingElement || d.documentElement);
                if (!d && c.clientWidth * c.clientHeight > farArea) {
                    farArea = c.clientWidth * c.clientHeight;
                    far = c;
                }
            } else if (c.clientHeight > 0 && scrolls(c)) {
                var overflow = getComputedStyle(c).overflowY;
                if (overflow === 'auto' || overflow === 'scroll') target = c;
            }
            if (!scrolls(target)) continue;
            var a = c.clientWidth * c.clientHeight;
            if (a > area) { area = a; best = target; }
        }
        if (best && best.ownerDocument !== document && watchedFrames.indexOf(best.ownerDocument) < 0) {
            watchedFrames.push(best.ownerDocument);
            best.ownerDocument.addEventListener('scroll', put, true);
            if (ro) ro.observe(best);
        }
        remote = best ? null : far;
        return best;
    }
    function tell(t) {
        try { remote.contentWindow.postMessage('quovadex-hold ' + key + ' ' + t, '*'); } catch (x) { remote = null; }
    }
    function scroller() {
        var e = document.scrollingElement || document.documentElement;
        if (scrolls(e)) return e;
        if (inner && inner.isConnected && scrolls(inner)) return inner;
        inner = largest() || inner;
        return inner && inner.isConnected ? inner : e;
    }
    function put() {
        if (!on || !document.body) return;
        var e = scroller();
        if (remote && !scrolls(e)) { tell(top); show(); return; }
        if (Math.abs(e.scrollTop - top) >= 1) e.scrollTop = top;
        if (veil && (Math.abs(e.scrollTop - top) < 1 || document.readyState !== 'loading')) show();
    }
    function watch() {
        if (!on || !document.body) return;
        if (mo) { mo.disconnect(); mo = null; }
        if (!ro) ro = new ResizeObserver(put);
        ro.observe(document.documentElement);
        ro.observe(document.body);
        if (inner) ro.observe(inner);
        put();
    }
    if (document.body) {
        watch();
    } else {
        try {
            veil = new CSSStyleSheet();
            veil.replaceSync('html{visibility:hidden!important}');
            document.adoptedStyleSheets = document.adoptedStyleSheets.concat([veil]);
            setTimeout(show, 1500);
        } catch (x) { veil = null; }
        mo = new MutationObserver(watch);
        mo.observe(document, { childList: true, subtree: true });
    }
    // Capturing: a scrolling box's own scroll events do not bubble.
    document.addEventListener('scroll', put, true);
    document.addEventListener('DOMContentLoaded', put);
    window.addEventListener('load', put);
    window.__quovadexHold = {
        set: function (t) {
            top = t;
            on = t >= 0;
            if (on) { watch(); return; }
            show();
            if (remote) tell(-1);
            if (ro) ro.disconnect();
            if (mo) { mo.disconnect(); mo = null; }
        }
    };
})
