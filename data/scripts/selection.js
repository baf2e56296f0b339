// Whether the user has selected part of the page: a selected range that holds words or
// a picture, not white space alone. The range is kept as it stands now, in the
// program's own script world, for the capture to take that part alone if the user
// wants it so.
(function () {
    'use strict';
    window.quorlSelection = null;
    var selection = document.getSelection();
    if (!selection || selection.rangeCount === 0 || selection.isCollapsed)
        return false;
    var range = selection.getRangeAt(0).cloneRange();
    var kept = range.toString().replace(/[\s\u00a0\u200b\u200c\u200d\ufeff]+/g, '') !== ''
               || range.cloneContents().querySelector('img, svg, canvas') !== null;
    if (kept)
        window.quorlSelection = range;
    return kept;
})()
