// Readies the page for the capture, in the program's own script world: pictures the
// page loads only when the reader scrolls near them are asked for now, and every inline
// drawing is drawn into a picture the way the engine shows it. Drawing is asynchronous:
// quorlPrepared.ready() says when all is done, and the capture takes what there is when
// the program stops waiting. The drawings are made from the page's own markup with its
// styles written in; a drawing shown as a picture cannot load anything itself.
(function () {
    'use strict';
    var state = { drawings: new Map(), pending: 0, images: [] };
    window.quorlPrepared = state;
    state.ready = function () {
        if (state.pending > 0)
            return false;
        for (var i = 0; i < state.images.length; i++) {
            if (!state.images[i].complete)
                return false;
        }
        return true;
    };

    var STYLES = ['fill', 'fill-opacity', 'fill-rule', 'stroke', 'stroke-width', 'stroke-opacity', 'stroke-dasharray',
                  'stroke-linecap', 'stroke-linejoin', 'opacity', 'font-family', 'font-size', 'font-weight',
                  'font-style', 'text-anchor', 'dominant-baseline', 'visibility', 'display', 'color', 'stop-color',
                  'stop-opacity', 'letter-spacing', 'text-decoration', 'clip-rule', 'marker-start', 'marker-end'];
    var LARGEST = 4096; // pixels a side, at most

    function documents(doc, list) {
        list.push(doc);
        var frames = doc.querySelectorAll('iframe, frame');
        for (var i = 0; i < frames.length; i++) {
            try {
                var inner = frames[i].contentDocument;
                if (inner && inner.body)
                    documents(inner, list);
            } catch (e) {
                // another site's frame: the archive has it
            }
        }
        return list;
    }

    // The computed look of every element written on the copy, so the drawing looks
    // the same without the page's style sheets.
    function styled(original, copy) {
        var view = original.ownerDocument.defaultView;
        var computed = view.getComputedStyle(original);
        var text = '';
        for (var i = 0; i < STYLES.length; i++) {
            var value = computed.getPropertyValue(STYLES[i]);
            if (value)
                text += STYLES[i] + ':' + value + ';';
        }
        copy.setAttribute('style', text);
        var a = original.children, b = copy.children;
        for (var j = 0; j < a.length && j < b.length; j++)
            styled(a[j], b[j]);
    }

    function draw(svg) {
        var box = svg.getBoundingClientRect();
        if (box.width < 2 || box.height < 2)
            return;
        var copy = svg.cloneNode(true);
        styled(svg, copy);
        // Symbols a drawing uses from elsewhere in the page come along.
        var uses = copy.querySelectorAll('use');
        var defs = null;
        for (var i = 0; i < uses.length; i++) {
            var ref = uses[i].getAttribute('href') || uses[i].getAttribute('xlink:href') || '';
            if (ref.charAt(0) !== '#' || copy.querySelector('[id="' + ref.substring(1).replace(/"/g, '') + '"]'))
                continue;
            var used = svg.ownerDocument.getElementById(ref.substring(1));
            if (!used || !(used instanceof svg.ownerDocument.defaultView.SVGElement))
                continue;
            var usedCopy = used.cloneNode(true);
            styled(used, usedCopy);
            if (!defs) {
                defs = document.createElementNS('http://www.w3.org/2000/svg', 'defs');
                copy.insertBefore(defs, copy.firstChild);
            }
            defs.appendChild(usedCopy);
        }
        copy.setAttribute('xmlns', 'http://www.w3.org/2000/svg');
        copy.setAttribute('width', String(box.width));
        copy.setAttribute('height', String(box.height));
        var markup = new XMLSerializer().serializeToString(copy);
        var image = new Image();
        state.pending++;
        image.onload = function () {
            var scale = Math.min(2, LARGEST / box.width, LARGEST / box.height);
            var canvas = document.createElement('canvas');
            canvas.width = Math.max(1, Math.round(box.width * scale));
            canvas.height = Math.max(1, Math.round(box.height * scale));
            var context = canvas.getContext('2d');
            try {
                context.drawImage(image, 0, 0, canvas.width, canvas.height);
                state.drawings.set(svg, canvas.toDataURL('image/png'));
            } catch (e) {
                // a drawing the engine will not hand back as pixels
            }
            state.pending--;
        };
        image.onerror = function () {
            state.pending--;
        };
        image.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(markup);
    }

    var docs = documents(document, []);
    for (var d = 0; d < docs.length; d++) {
        var doc = docs[d];
        var lazy = doc.querySelectorAll('img[loading], iframe[loading]');
        for (var i = 0; i < lazy.length; i++) {
            if (String(lazy[i].getAttribute('loading')).toLowerCase() === 'lazy')
                lazy[i].setAttribute('loading', 'eager');
        }
        var images = doc.images;
        for (var j = 0; j < images.length; j++) {
            if (!images[j].complete)
                state.images.push(images[j]);
        }
        var svgs = doc.querySelectorAll('svg');
        for (var k = 0; k < svgs.length; k++) {
            if (!svgs[k].ownerSVGElement)
                draw(svgs[k]);
        }
    }
    return state.pending + state.images.length;
})()
