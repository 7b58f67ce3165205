// What the user typed into a page's fields, carried from the page shown into its refreshed
// copy: the engine brings back only what it had saved of the page, up to a second old, and
// nothing typed while the refresh loaded. Called with null on the page shown, it answers the
// fields the user changed, as JSON; called with that answer on the refreshed copy, it puts the
// text back into the same fields and the caret where it was.
(function (carried) {
    var fields = document.querySelectorAll('input,textarea');
    function typable(field) {
        return field.tagName === 'TEXTAREA' ||
            !/^(checkbox|radio|button|submit|reset|image|file|range|color|hidden|password)$/i.test(field.type);
    }
    if (carried === null) {
        var found = {fields: [], focus: -1};
        for (var i = 0; i < fields.length; ++i) {
            var field = fields[i];
            if (!typable(field))
                continue;
            if (field.value !== field.defaultValue)
                found.fields.push({index: i, name: field.name, value: field.value});
            if (field === document.activeElement)
                found.focus = i;
        }
        return JSON.stringify(found);
    }
    // A field is matched by its place among the page's fields and its name, so a page that
    // came back with other fields gets nothing put into the wrong one.
    (carried.fields || []).forEach(function (was) {
        var field = fields[was.index];
        if (field && typable(field) && field.name === was.name && typeof was.value === 'string')
            field.value = was.value;
    });
    var focused = fields[carried.focus];
    if (focused && typable(focused)) {
        focused.focus({preventScroll: true});
        try {
            focused.setSelectionRange(focused.value.length, focused.value.length);
        } catch (e) {
            // Some kinds of field (e-mail, number) have no caret to place.
        }
    }
    return true;
})
