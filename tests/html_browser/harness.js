// Run by Chromium at the end of a page: reports, for each character of the
// innerText of the fragment between the comments st-frag-start and
// st-frag-end, its code point and the style the browser computed for it.
// Text outside the fragment is removed first (but for style sheets), so that
// innerText is the fragment's own. Characters of text nodes are replaced by
// private-use ones to find each one again in innerText; collapsible white
// space is kept, since replacing it would change the collapsing.
(function () {
  var all = [], n, state = 0, inFragment = [], outside = [];
  var walker = document.createTreeWalker(document, NodeFilter.SHOW_ALL);
  while ((n = walker.nextNode())) all.push(n);
  for (var i = 0; i < all.length; i++) {
    n = all[i];
    if (n.nodeType === 8 && n.data === 'st-frag-start') { state = 1; continue; }
    if (n.nodeType === 8 && n.data === 'st-frag-end') { state = 2; continue; }
    if (n.nodeType === 3) {
      var p = n.parentNode && n.parentNode.localName;
      if (p === 'style' || p === 'script' || p === 'title') continue;
      (state === 1 ? inFragment : outside).push(n);
    } else if (n.nodeType === 1 && n.localName === 'br' && state !== 1) {
      outside.push(n);
    }
  }
  outside.forEach(function (o) { o.parentNode.removeChild(o); });
  var map = new Map(), next = 0xF0000;
  inFragment.forEach(function (t) {
    var ws = t.parentElement ? getComputedStyle(t.parentElement).whiteSpace : 'normal';
    var keepsSpaces = ws === 'pre' || ws === 'pre-wrap' || ws === 'break-spaces';
    var out = '';
    for (var ch of t.data) {
      if (ch === '\n' || (!keepsSpaces && /[ \t\r\f]/.test(ch))) { out += ch; continue; }
      var cp = next++;
      if (cp === 0xFFFFE) next = (cp = 0x100000) + 1;
      map.set(cp, [ch.codePointAt(0), t]);
      out += String.fromCodePoint(cp);
    }
    t.data = out;
  });
  var cache = new Map();
  var canvas = document.createElement('canvas');
  canvas.width = canvas.height = 1;
  var context = canvas.getContext('2d', {colorSpace: 'srgb'});
  function paint(colour) {
    context.clearRect(0, 0, 1, 1);
    context.fillStyle = colour.replace(/\/\s*[\d.]+%?\s*\)$/, ')');
    context.fillRect(0, 0, 1, 1);
    var d = context.getImageData(0, 0, 1, 1).data;
    return [String(d[0]), String(d[1]), String(d[2])];
  }
  function styleOf(el) {
    if (cache.has(el)) return cache.get(el);
    var cs = getComputedStyle(el), deco = 0, va = 'baseline', a, c;
    for (a = el; a && a.nodeType === 1; a = a.parentElement) {
      var line = getComputedStyle(a).textDecorationLine;
      if (line.indexOf('underline') >= 0) deco |= 1;
      if (line.indexOf('line-through') >= 0) deco |= 2;
    }
    for (a = el; a && a.nodeType === 1; a = a.parentElement) {
      c = getComputedStyle(a);
      if (c.display.indexOf('inline') !== 0) break;
      if (c.verticalAlign === 'super' || c.verticalAlign === 'sub') { va = c.verticalAlign; break; }
    }
    // rgb() as it is; a colour of another space as the canvas paints it in sRGB.
    var rgb = cs.color.indexOf('rgb') === 0 ? cs.color.match(/[\d.]+/g) : paint(cs.color);
    var s = cs.fontWeight + ' ' + (cs.fontStyle === 'normal' ? 0 : 1) + ' ' + deco + ' ' + va + ' ' +
            parseFloat(cs.fontSize) + ' ' + rgb[0] + ' ' + rgb[1] + ' ' + rgb[2];
    cache.set(el, s);
    return s;
  }
  var lines = [];
  for (var ch of document.body ? document.body.innerText : '') {
    var m = map.get(ch.codePointAt(0));
    lines.push(m ? m[0] + ' ' + styleOf(m[1].parentElement) : ch.codePointAt(0) + ' -');
  }
  document.documentElement.setAttribute('data-st', btoa(lines.join('\n')));
})();
