// Copies the whole body of the page to the clipboard, as a user's select-all and copy
// would, and reports whether the page's copy command ran.
(function () {
    var body = document.body;
    if (!body)
        return false;
    var selection = window.getSelection();
    var range = document.createRange();
    range.selectNodeContents(body);
    selection.removeAllRanges();
    selection.addRange(range);
    var copied = false;
    try {
        copied = document.execCommand('copy');
    } catch (e) {
        copied = false;
    }
    selection.removeAllRanges();
    return copied;
})()
