// Builds a clean, self-contained copy of the page for the office application, from the
// engine's own document: the visible content in reading order, the layout (floats,
// positions, columns) flattened into the normal flow, the structure kept (headings,
// paragraphs, lists, tables with their spans, links, preformatted text, text styles),
// the language and direction on every element whose direction differs. Pictures stay
// as numbered references (quorl-picture:N) to the addresses the engine loaded them
// from; the program puts their bytes in. Inline drawings and canvases become pictures.
// Same-origin frames are taken in too; a frame of another site is left as a numbered
// place (<!--quorl-frame:N--> in the markup, NUL N NUL in the text, neither of which a
// page's own text can give) that the program fills from the engine's archive.
// Links within the page lead to bookmarks at their targets; table cells say whether
// they hold a number, and in which format it shows.
//
// When the program asks for the user's selection alone (the range selection.js kept),
// the same walk keeps only what the range holds: the elements it touches with their
// structure (a table keeps its rows the range reaches, each whole with its cells), and
// of the text at its two ends only the selected part.
//
// Runs in the program's own script world, so the page cannot hook it.
(function () {
    'use strict';
    var pictures = [];
    var pictureIndex = {};
    var frames = 0;
    var foreignFrames = [];
    var rootDir = 'ltr';
    // Drawings made into pictures ahead of the capture (prepare.js), by element.
    var drawings = window.quorlPrepared ? window.quorlPrepared.drawings : null;
    // The part of the page to take: the kept range when asked for, else everything.
    var scope = window.quorlUseSelection && window.quorlSelection ? window.quorlSelection : null;
    delete window.quorlUseSelection;
    delete window.quorlSelection;
    var scopeDocument = scope ? scope.commonAncestorContainer.ownerDocument : null;

    // Whether a node lies wholly outside the part taken. A frame's document is taken
    // whole when the range holds the frame.
    function outside(n) {
        return scope !== null && n.ownerDocument === scopeDocument && !scope.intersectsNode(n);
    }

    // A text node's text, cut at the ends of the range where they fall in it.
    function inScope(n, text) {
        if (scope === null)
            return text;
        if (n === scope.endContainer)
            text = text.substring(0, scope.endOffset);
        if (n === scope.startContainer)
            text = text.substring(scope.startOffset);
        return text;
    }

    var SKIP = {
        SCRIPT: 1, STYLE: 1, NOSCRIPT: 1, TEMPLATE: 1, HEAD: 1, TITLE: 1, META: 1, LINK: 1,
        OBJECT: 1, EMBED: 1, AUDIO: 1, VIDEO: 1, MAP: 1, DIALOG: 1, MATH: 1
    };
    var INLINE_TAGS = {
        B: 'b', STRONG: 'b', I: 'i', EM: 'i', CITE: 'i', VAR: 'i', DFN: 'i', U: 'u', INS: 'u',
        S: 's', STRIKE: 's', DEL: 's', SUB: 'sub', SUP: 'sup', CODE: 'code', KBD: 'code',
        SAMP: 'code', TT: 'code', SMALL: 'small', BIG: 'big', MARK: 'b'
    };
    var LINK_SCHEMES = /^(https?|mailto|ftp):/i;
    // A number as English pages write it: an optional minus, the digits without leading
    // zeros (in threes between commas, or not at all), decimals after a point, and an
    // optional percent sign.
    var NUMBER = /^(-?)(0|[1-9]\d{0,2}(?:,\d{3})+|[1-9]\d*)(?:\.(\d+))?(%?)$/;

    // A cell's text as a number and the format that shows it exactly as the page does,
    // or null when no number can: leading zeros, more digits than a spreadsheet keeps
    // (15), signs, codes and footnote markers stay text.
    function cellNumber(text) {
        var m = NUMBER.exec(text);
        if (!m)
            return null;
        var whole = m[2].replace(/,/g, '');
        var decimals = m[3] || '';
        if ((whole + decimals).replace(/^0+/, '').length > 15 || (m[1] && !/[1-9]/.test(whole + decimals)))
            return null;
        var format = (whole !== m[2] ? '#,##0' : '0') + (decimals ? '.' + decimals.replace(/./g, '0') : '');
        var value = m[1] + whole + (decimals ? '.' + decimals : '');
        if (m[4]) {
            format += '%';
            // The value a hundredth of the shown one, moved in the digits, not computed.
            var digits = (whole + decimals).replace(/^0+(?=\d)/, '');
            var point = whole.length - 2;
            while (point < 1) {
                digits = '0' + digits;
                point++;
            }
            value = m[1] + digits.substring(0, point) + '.' + digits.substring(point);
        }
        return { value: value, format: format };
    }

    // Links within the page: each target the page's own links lead to gets a bookmark
    // whose name a word processor accepts (letters, digits and underscores, a letter
    // first, at most 40).
    var pageAddress = String(document.URL).split('#')[0];
    var targets = {};      // fragment -> bookmark name
    var bookmarkNames = {};
    var pendingAnchors = [];
    var placedAnchors = {};
    function fragmentOf(href) {
        var at = href.indexOf('#');
        if (at < 0 || href.substring(0, at) !== pageAddress)
            return null;
        try {
            return decodeURIComponent(href.substring(at + 1));
        } catch (e) {
            return href.substring(at + 1);
        }
    }
    function bookmarkName(fragment) {
        var name = fragment.replace(/[^A-Za-z0-9_]/g, '_');
        if (!/^[A-Za-z]/.test(name))
            name = 'a_' + name;
        name = name.substring(0, 36);
        var unique = name, n = 1;
        while (bookmarkNames[unique])
            unique = name + '_' + (++n);
        bookmarkNames[unique] = true;
        return unique;
    }
    (function () {
        var links = document.links;
        var start = null;
        for (var i = 0; i < links.length; i++) {
            var fragment = fragmentOf(String(links[i].href));
            if (fragment === null || targets.hasOwnProperty(fragment))
                continue;
            if (fragment !== '' && (document.getElementById(fragment) || document.getElementsByName(fragment).length)) {
                targets[fragment] = bookmarkName(fragment);
            } else if (fragment === '' || fragment.toLowerCase() === 'top') {
                // "#" and "#top" with nothing so named lead to the start of the page.
                start = start || bookmarkName('top');
                targets[fragment] = start;
            }
        }
        if (start)
            pendingAnchors.push(start);
    })();
    function markTarget(el) {
        var id = el.id;
        if (id && targets.hasOwnProperty(id) && !placedAnchors[targets[id]])
            pendingAnchors.push(targets[id]);
        var name = el.tagName === 'A' ? el.getAttribute('name') : null;
        if (name && name !== id && targets.hasOwnProperty(name) && !placedAnchors[targets[name]])
            pendingAnchors.push(targets[name]);
    }

    function esc(text) {
        return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
    }

    // Collects what an element gives: inline runs and blocks, with the plain text
    // beside the markup.
    function Sink() {
        this.blocks = [];     // [html, text]
        this.inlineHtml = '';
        this.inlineText = '';
        this.hasBlocks = false;
    }
    Sink.prototype.inline = function (html, text) {
        // The bookmarks of the targets just entered go on the first words after them.
        if (pendingAnchors.length && (text.replace(/[\s\u00a0]+/g, '') !== '' || /<img /.test(html))) {
            for (var i = 0; i < pendingAnchors.length; i++) {
                if (placedAnchors[pendingAnchors[i]])
                    continue;
                placedAnchors[pendingAnchors[i]] = true;
                html = '<span id="' + pendingAnchors[i] + '">' + html + '</span>';
            }
            pendingAnchors = [];
        }
        this.inlineHtml += html;
        this.inlineText += text;
    };
    Sink.prototype.flush = function (dir) {
        if (this.inlineText.replace(/[\s\u00a0]+/g, '') !== '' || /<img /.test(this.inlineHtml)) {
            this.blocks.push(['<p' + dirAttr(dir) + (dir === 'rtl' ? ' align="right"' : '') + '>'
                              + this.inlineHtml.trim() + '</p>\n',
                              this.inlineText.trim() + '\n']);
        }
        this.inlineHtml = '';
        this.inlineText = '';
    };
    Sink.prototype.block = function (html, text, dir) {
        this.flush(dir);
        this.blocks.push([html, text]);
        this.hasBlocks = true;
    };
    // Everything as blocks (inline runs become paragraphs).
    Sink.prototype.asBlocks = function (dir) {
        this.flush(dir);
        var html = '', text = '';
        for (var i = 0; i < this.blocks.length; i++) {
            html += this.blocks[i][0];
            text += this.blocks[i][1];
        }
        return [html, text];
    };
    // For a cell or a list item: bare inline content when there is nothing else.
    Sink.prototype.asContent = function (dir) {
        if (!this.hasBlocks && this.blocks.length === 0)
            return [this.inlineHtml.trim(), this.inlineText.trim()];
        return this.asBlocks(dir);
    };

    function dirAttr(dir) {
        return dir && (dir !== rootDir || dir === 'rtl') ? ' dir="' + dir + '"' : '';
    }

    // The side a block's lines keep to, where it is not the natural one of a
    // left-to-right paragraph (the document's own paragraphs may say otherwise).
    function alignAttr(style, dir) {
        var a = String(style.textAlign).replace('-webkit-', '');
        if (a === 'start' || a === 'auto')
            a = dir === 'rtl' ? 'right' : 'left';
        else if (a === 'end')
            a = dir === 'rtl' ? 'left' : 'right';
        if ((a === 'left' && dir !== 'rtl') || (a !== 'left' && a !== 'right' && a !== 'center'))
            return '';
        return ' align="' + a + '"';
    }

    // The lines of a right-to-left list keep to the right; the list's own attribute for
    // it is not read, its style is.
    function rightAligned(dir) {
        return dir === 'rtl' ? ' style="text-align:right"' : '';
    }

    function langAttr(el) {
        var lang = el.getAttribute && el.getAttribute('lang');
        return lang && /^[A-Za-z0-9-]{1,35}$/.test(lang) ? ' lang="' + lang + '"' : '';
    }

    function hidden(el, style) {
        if (style.display === 'none' || style.visibility === 'collapse')
            return true;
        var position = style.position;
        var clipped = style.overflow === 'hidden' || style.clip !== 'auto' || style.clipPath !== 'none';
        if (clipped || position === 'absolute' || position === 'fixed') {
            var r = el.getBoundingClientRect();
            // Text kept for screen readers only: a clipped box of a pixel or less.
            if (clipped && r.width <= 1 && r.height <= 1)
                return true;
            // Moved out of the page (skip links and the like).
            if ((position === 'absolute' || position === 'fixed')
                && (r.right + window.scrollX <= 0 || r.bottom + window.scrollY <= 0))
                return true;
        }
        return false;
    }

    function isBlock(style) {
        var d = style.display;
        return !(d === 'inline' || d === 'inline-block' || d === 'inline-flex' || d === 'inline-grid'
                 || d === 'contents' || d === 'ruby' || d === 'inline-table');
    }

    function transform(text, style) {
        if (style.textTransform === 'uppercase')
            return text.toUpperCase();
        if (style.textTransform === 'lowercase')
            return text.toLowerCase();
        return text;
    }

    function textNode(node, sink, style) {
        if (style.visibility === 'hidden')
            return;
        var text = inScope(node, node.nodeValue);
        var ws = style.whiteSpace;
        if (ws === 'pre' || ws === 'pre-wrap' || ws === 'break-spaces') {
            var lines = text.split('\n');
            for (var i = 0; i < lines.length; i++) {
                if (i > 0)
                    sink.inline('<br>', '\n');
                var t = transform(lines[i], style);
                sink.inline(esc(t).replace(/ {2}/g, ' &nbsp;').replace(/\t/g, ' &nbsp; &nbsp;'), t);
            }
            return;
        }
        if (ws === 'pre-line')
            text = text.replace(/[ \t]+/g, ' ');
        else
            text = text.replace(/[\s]+/g, ' ');
        if (text === '')
            return;
        // Collapse the space between two runs the way the page shows it.
        if (text.charAt(0) === ' ' && /[\s]$/.test(sink.inlineText))
            text = text.substring(1);
        text = transform(text, style);
        if (ws === 'pre-line') {
            var parts = text.split('\n');
            for (var j = 0; j < parts.length; j++) {
                if (j > 0)
                    sink.inline('<br>', '\n');
                sink.inline(esc(parts[j]), parts[j]);
            }
            return;
        }
        sink.inline(esc(text), text);
    }

    function picture(img, sink) {
        if (!img.complete || !img.naturalWidth)
            return;
        placePicture(img.currentSrc || img.src, img, img.getAttribute('alt') || '', sink);
    }

    // An inline drawing, as the picture made of it ahead; its text as the picture's
    // alternative text.
    function drawing(svg, sink) {
        var src = drawings && drawings.get(svg);
        if (src)
            placePicture(src, svg, (svg.textContent || '').replace(/\s+/g, ' ').trim().substring(0, 500), sink);
    }

    // A canvas as the picture it shows; one whose pixels the page may not read (drawn
    // from another site) is left out.
    function canvasPicture(canvas, sink) {
        if (canvas.width < 2 || canvas.height < 2)
            return;
        var src;
        try {
            src = canvas.toDataURL('image/png');
        } catch (e) {
            return;
        }
        placePicture(src, canvas, '', sink);
    }

    function placePicture(src, img, alt, sink) {
        if (!src)
            return;
        var n = pictureIndex[src];
        if (n === undefined) {
            n = pictures.length;
            pictures.push(src);
            pictureIndex[src] = n;
        }
        var r = img.getBoundingClientRect();
        var width = Math.max(1, Math.round(r.width || (typeof img.width === 'number' ? img.width : 0)));
        var height = Math.max(1, Math.round(r.height || (typeof img.height === 'number' ? img.height : 0)));
        sink.inline('<img src="quorl-picture:' + n + '" width="' + width + '" height="' + height + '" alt="'
                    + esc(alt) + '">', '');
    }

    // style: the element's own computed style, when the caller has it already.
    function children(el, sink, dir, style) {
        var own = style || getComputedStyle(el);
        for (var child = el.firstChild; child; child = child.nextSibling)
            node(child, sink, dir, own);
    }

    function frameDocument(frame) {
        try {
            var doc = frame.contentDocument;
            return doc && doc.body ? doc : null;
        } catch (e) {
            return null;
        }
    }

    function list(el, style, sink, dir) {
        var tag = el.tagName === 'OL' ? 'ol' : 'ul';
        var html = '<' + tag + dirAttr(dir) + langAttr(el) + rightAligned(dir);
        var start = tag === 'ol' && el.hasAttribute('start') && /^-?\d+$/.test(el.getAttribute('start'))
                    ? parseInt(el.getAttribute('start'), 10) : null;
        if (tag === 'ol' && scope !== null) {
            // A numbered list taken from its middle keeps its items' numbers.
            var before = 0;
            for (var item = el.firstElementChild; item && outside(item); item = item.nextElementSibling) {
                if (item.tagName === 'LI')
                    before++;
            }
            if (before > 0)
                start = (start === null ? 1 : start) + before;
        }
        if (start !== null)
            html += ' start="' + start + '"';
        html += '>\n';
        var text = '';
        var loose = new Sink();
        var flushLoose = function () {
            var c = loose.asContent(dir);
            if (c[1].trim() !== '' || /<img /.test(c[0])) {
                html += '<li>' + c[0] + '</li>\n';
                text += c[1] + '\n';
            }
            loose = new Sink();
        };
        for (var child = el.firstChild; child; child = child.nextSibling) {
            if (child.nodeType === 1 && child.tagName === 'LI') {
                if (outside(child))
                    continue;
                var cs = getComputedStyle(child);
                if (hidden(child, cs))
                    continue;
                flushLoose();
                markTarget(child);
                var item = new Sink();
                var itemDir = cs.direction;
                children(child, item, itemDir, cs);
                var content = item.asContent(itemDir);
                html += '<li' + dirAttr(itemDir !== dir ? itemDir : '') + langAttr(child) + '>' + content[0] + '</li>\n';
                text += content[1] + '\n';
            } else {
                node(child, loose, dir, style);
            }
        }
        flushLoose();
        html += '</' + tag + '>\n';
        sink.block(html, text, dir);
    }

    function definitionList(el, sink, dir) {
        var html = '<dl' + dirAttr(dir) + rightAligned(dir) + '>\n', text = '';
        for (var child = el.firstElementChild; child; child = child.nextElementSibling) {
            if (outside(child))
                continue;
            var cs = getComputedStyle(child);
            if (hidden(child, cs))
                continue;
            markTarget(child);
            var part = new Sink();
            children(child, part, cs.direction, cs);
            var content = part.asContent(cs.direction);
            if (content[1].trim() === '' && !/<img /.test(content[0]))
                continue;
            var tag = child.tagName === 'DT' ? 'dt' : 'dd';
            html += '<' + tag + dirAttr(cs.direction !== dir ? cs.direction : '') + '>' + content[0] + '</' + tag + '>\n';
            text += content[1] + '\n';
        }
        sink.block(html + '</dl>\n', text, dir);
    }

    function table(el, style, sink, dir) {
        var bordered = false;
        var html = '', text = '';
        if (el.caption) {
            var cap = new Sink();
            children(el.caption, cap, dir);
            var c = cap.asContent(dir);
            if (c[1] !== '') {
                html += '<caption>' + c[0] + '</caption>\n';
                text += c[1] + '\n';
            }
        }
        var rows = el.rows;
        for (var i = 0; i < rows.length; i++) {
            var row = rows[i];
            // Rows of tables nested inside this one belong to them.
            if (row.parentNode !== el && row.parentNode.parentNode !== el)
                continue;
            if (outside(row))
                continue;
            var rs = getComputedStyle(row);
            if (hidden(row, rs) || (row.parentNode !== el && hidden(row.parentNode, getComputedStyle(row.parentNode))))
                continue;
            var rowHtml = '<tr>', rowText = [];
            for (var j = 0; j < row.cells.length; j++) {
                var cell = row.cells[j];
                var cs = getComputedStyle(cell);
                if (cs.display === 'none')
                    continue;
                if (!bordered && parseFloat(cs.borderTopWidth) + parseFloat(cs.borderLeftWidth) > 0
                    && cs.borderTopStyle !== 'none')
                    bordered = true;
                markTarget(row);
                markTarget(cell);
                var content = new Sink();
                var cellDir = cs.direction;
                if (cs.visibility !== 'hidden' || cell.firstElementChild)
                    children(cell, content, cellDir, cs);
                var got = content.asContent(cellDir);
                var tag = cell.tagName === 'TH' ? 'th' : 'td';
                var attrs = '';
                if (cell.colSpan > 1)
                    attrs += ' colspan="' + cell.colSpan + '"';
                if (cell.rowSpan > 1)
                    attrs += ' rowspan="' + cell.rowSpan + '"';
                if (cellDir !== dir)
                    attrs += dirAttr(cellDir);
                // A cell is a number only when its number and the way the page shows
                // it both survive; "(1)", "00037", a long identifier or a date stay the
                // text the page shows.
                var cellText = got[1].trim();
                var number = cellText === '' || /<a /.test(got[0]) ? null : cellNumber(cellText);
                if (number)
                    attrs += ' sdval="' + number.value + '" sdnum="1033;1033;' + number.format + '"';
                else if (cellText !== '')
                    attrs += ' sdnum="1033;1033;@"';
                rowHtml += '<' + tag + attrs + '>' + got[0] + '</' + tag + '>';
                rowText.push(got[1].replace(/\n/g, ' '));
            }
            html += rowHtml + '</tr>\n';
            text += rowText.join('\t') + '\n';
        }
        // A right-to-left table keeps to the right, its first column on the right; a
        // division aligned right does that without making it float.
        html = '<table' + dirAttr(dir) + (bordered ? ' border="1"' : '') + ' cellpadding="2" cellspacing="0">\n' + html
               + '</table>\n';
        sink.block(dir === 'rtl' ? '<div align="right">\n' + html + '</div>\n' : html, text, dir);
    }

    function pre(el, sink, dir) {
        var t = el.innerText;
        if (scope !== null && el.ownerDocument === scopeDocument) {
            // Preformatted text cut at the ends of the range, where they fall in it.
            var part = el.ownerDocument.createRange();
            part.selectNodeContents(el);
            var cut = false;
            if (scope.compareBoundaryPoints(Range.START_TO_START, part) > 0) {
                part.setStart(scope.startContainer, scope.startOffset);
                cut = true;
            }
            if (scope.compareBoundaryPoints(Range.END_TO_END, part) < 0) {
                part.setEnd(scope.endContainer, scope.endOffset);
                cut = true;
            }
            if (cut)
                t = part.toString();
        }
        t = t.replace(/\n$/, '');
        if (t.trim() === '')
            return;
        sink.block('<pre' + dirAttr(dir) + '>' + esc(t) + '</pre>\n', t + '\n', dir);
    }

    function frameContent(doc, sink) {
        frames++;
        if (doc.body.tagName === 'FRAMESET') {
            var inner = doc.querySelectorAll('frame, iframe');
            for (var i = 0; i < inner.length; i++) {
                var d = frameDocument(inner[i]);
                if (d)
                    frameContent(d, sink);
            }
            return;
        }
        var style = getComputedStyle(doc.body);
        var part = new Sink();
        children(doc.body, part, style.direction, style);
        var got = part.asBlocks(style.direction);
        if (got[1].trim() !== '' || /<img /.test(got[0]))
            sink.block('<div' + dirAttr(style.direction) + '>\n' + got[0] + '</div>\n', got[1], style.direction);
    }

    function formControl(el, sink) {
        var value = '';
        if (el.tagName === 'SELECT') {
            value = el.selectedIndex >= 0 ? el.options[el.selectedIndex].text : '';
        } else if (el.tagName === 'TEXTAREA') {
            value = el.value;
        } else if (el.tagName === 'INPUT') {
            var type = (el.type || 'text').toLowerCase();
            if (type === 'hidden' || type === 'password' || type === 'checkbox' || type === 'radio'
                || type === 'file' || type === 'image')
                return;
            value = el.value;
        }
        value = value.replace(/\s+/g, ' ').trim();
        if (value !== '')
            sink.inline(esc(value) + ' ', value + ' ');
    }

    function node(n, sink, dir, parentStyle) {
        if (outside(n))
            return;
        if (n.nodeType === 3) {
            textNode(n, sink, parentStyle || getComputedStyle(n.parentNode));
            return;
        }
        if (n.nodeType !== 1 || SKIP[n.tagName])
            return;
        var el = n;
        var style = getComputedStyle(el);
        if (hidden(el, style))
            return;
        markTarget(el);
        var tag = el.tagName;
        var elDir = style.direction;
        switch (tag) {
        case 'BR':
            sink.inline('<br>', '\n');
            return;
        case 'IMG':
            picture(el, sink);
            return;
        case 'HR':
            sink.block('<hr>\n', '\n', dir);
            return;
        case 'IFRAME':
        case 'FRAME':
            var doc = frameDocument(el);
            if (doc) {
                frameContent(doc, sink);
            } else {
                // Another site's frame the page shows: its place, and what tells its
                // document in the archive.
                var fr = el.getBoundingClientRect();
                if (fr.width < 20 || fr.height < 20)
                    return;
                var all = el.ownerDocument.querySelectorAll('iframe, frame');
                var index = -1;
                for (var k = 0; k < all.length; k++) {
                    if (all[k] === el)
                        index = k;
                }
                foreignFrames.push({ url: String(el.src || ''), index: el.ownerDocument === document ? index : -1,
                                     width: Math.round(fr.width), height: Math.round(fr.height) });
                sink.block('<!--quorl-frame:' + (foreignFrames.length - 1) + '-->\n',
                           '\u0000' + (foreignFrames.length - 1) + '\u0000\n', dir);
            }
            return;
        case 'svg':
        case 'SVG':
            drawing(el, sink);
            return;
        case 'CANVAS':
            canvasPicture(el, sink);
            return;
        case 'INPUT':
        case 'SELECT':
        case 'TEXTAREA':
            formControl(el, sink);
            return;
        case 'TABLE':
            if (style.display === 'table' || style.display === 'inline-table') {
                table(el, style, sink, elDir);
                return;
            }
            break;
        case 'UL':
        case 'OL':
        case 'MENU':
            if (isBlock(style)) {
                list(el, style, sink, elDir);
                return;
            }
            break;
        case 'DL':
            if (isBlock(style)) {
                definitionList(el, sink, elDir);
                return;
            }
            break;
        case 'PRE':
        case 'LISTING':
        case 'XMP':
            pre(el, sink, elDir);
            return;
        }
        if (/^H[1-6]$/.test(tag) || tag === 'P' || tag === 'BLOCKQUOTE' || tag === 'ADDRESS'
            || tag === 'FIGCAPTION' || tag === 'CAPTION' || tag === 'LEGEND' || tag === 'SUMMARY') {
            var part = new Sink();
            children(el, part, elDir, style);
            var attrs = dirAttr(elDir) + langAttr(el);
            if (tag === 'BLOCKQUOTE') {
                var quoted = part.asBlocks(elDir);
                if (quoted[1].trim() !== '')
                    sink.block('<blockquote' + attrs + '>\n' + quoted[0] + '</blockquote>\n', quoted[1], dir);
                return;
            }
            var name = /^H[1-6]$/.test(tag) ? tag.toLowerCase() : 'p';
            if (part.hasBlocks) {
                // A paragraph holding blocks (a div inside an h2, say): the blocks as
                // they come.
                var all = part.asBlocks(elDir);
                sink.block(all[0], all[1], dir);
                return;
            }
            var inner = part.inlineHtml.trim();
            var innerText = part.inlineText.trim();
            if (innerText.replace(/[\s\u00a0]+/g, '') === '' && !/<img /.test(inner))
                return;
            sink.block('<' + name + attrs + alignAttr(style, elDir) + '>' + inner + '</' + name + '>\n', innerText + '\n',
                       dir);
            return;
        }
        if (isBlock(style)) {
            // A container (div, section, a floated column, a flex box): its content
            // joins the flow where it stands.
            var lang = langAttr(el);
            if (elDir !== dir || lang) {
                var own = new Sink();
                children(el, own, elDir, style);
                var got = own.asBlocks(elDir);
                if (got[1].trim() !== '' || /<img /.test(got[0]))
                    sink.block('<div' + dirAttr(elDir) + lang + '>\n' + got[0] + '</div>\n', got[1], dir);
                return;
            }
            sink.flush(dir);
            children(el, sink, dir, style);
            sink.flush(dir);
            return;
        }
        // Inline: the text styles and links the page shows.
        var wrap = INLINE_TAGS[tag] || '';
        var open = '', close = '';
        var fragment = tag === 'A' && el.href ? fragmentOf(String(el.href)) : null;
        if (fragment !== null && targets.hasOwnProperty(fragment)) {
            open = '<a href="#' + targets[fragment] + '">';
            close = '</a>';
        } else if (tag === 'A' && el.href && LINK_SCHEMES.test(String(el.href))) {
            open = '<a href="' + esc(String(el.href)) + '">';
            close = '</a>';
        } else if (wrap) {
            open = '<' + wrap + '>';
            close = '</' + wrap + '>';
        } else {
            var weight = parseInt(style.fontWeight, 10);
            var outer = parentStyle || (el.parentElement ? getComputedStyle(el.parentElement) : null);
            if (weight >= 600 && (!outer || parseInt(outer.fontWeight, 10) < 600)) {
                open += '<b>';
                close = '</b>' + close;
            }
            if (style.fontStyle === 'italic' && (!outer || outer.fontStyle !== 'italic')) {
                open += '<i>';
                close = '</i>' + close;
            }
        }
        var lang2 = langAttr(el);
        if (elDir !== dir || lang2) {
            open = '<span' + (elDir !== dir ? ' dir="' + elDir + '"' : '') + lang2 + '>' + open;
            close += '</span>';
        }
        var inlinePart = new Sink();
        inlinePart.inlineText = sink.inlineText.slice(-1); // for the space between runs
        children(el, inlinePart, dir, style);
        var carried = sink.inlineText.slice(-1);
        if (inlinePart.hasBlocks || inlinePart.blocks.length) {
            var gotBlocks = inlinePart.asBlocks(dir);
            sink.block(gotBlocks[0], gotBlocks[1], dir);
            return;
        }
        var runText = inlinePart.inlineText.substring(carried.length);
        if (runText === '' && !/<img /.test(inlinePart.inlineHtml))
            return;
        sink.inline(open + inlinePart.inlineHtml + close, runText);
    }

    var root = document.documentElement;
    var body = document.body;
    var lang = root.getAttribute('lang') || (body && body.getAttribute('lang')) || '';
    if (!/^[A-Za-z0-9-]{1,35}$/.test(lang))
        lang = '';
    var result = { html: '', text: '', pictures: pictures, title: document.title, url: String(document.URL),
                   lang: lang, dir: 'ltr', charset: document.characterSet, frames: 0, complete: document.readyState,
                   foreignFrames: foreignFrames };
    if (!body)
        return result;
    rootDir = getComputedStyle(body).direction || 'ltr';
    result.dir = rootDir;
    var top = new Sink();
    if (body.tagName === 'FRAMESET') {
        frameContent(document, top);
        frames--;
    } else {
        children(body, top, rootDir);
    }
    var all = top.asBlocks(rootDir);
    // A link whose target the document does not show leads nowhere: it stays text.
    result.html = all[0].replace(/<a href="#([A-Za-z0-9_]+)">/g, function (link, name) {
        return placedAnchors[name] ? link : '<a>';
    });
    result.text = all[1].replace(/\n{3,}/g, '\n\n').trim();
    result.frames = frames;
    return result;
})()
