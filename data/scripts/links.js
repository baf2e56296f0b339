// The page's address and the addresses of its links, in document order.
(function () {
    var hrefs = [];
    for (var i = 0; i < document.links.length; i++)
        hrefs.push(String(document.links[i].href));
    return [String(document.URL), hrefs];
})()
