// The user's actions on the page's elements, and the pixels its canvases show, for the tests
// of the web backend (web_testing.cpp).
mergeInto(LibraryManager.library, {
  kwt_click__deps: ['$KW'],
  kwt_click: function(handle) {
    var node = KW.nodes[handle];
    (node.box || node.element).click();
  },
  // Types or pastes a text over the field's selection as the browser would: the text changes,
  // and the field's own handlers then keep or undo it. 1 when the text changed. `where`: 0 at
  // the selection, 1 at the end, 2 over the whole text.
  kwt_insert__deps: ['$KW'],
  kwt_insert: function(handle, text, length, where, paste) {
    var input = KW.nodes[handle].element;
    var before = input.value, c = KW.latin1(text, length);
    if (where === 1) input.setSelectionRange(before.length, before.length);
    if (where === 2) input.setSelectionRange(0, before.length);
    var type = paste ? 'insertFromPaste' : 'insertText';
    var start = input.selectionStart, end = input.selectionEnd;
    input.dispatchEvent(new InputEvent('beforeinput', {inputType: type, data: c,
                                                        bubbles: true, cancelable: true}));
    input.value = before.slice(0, start) + c + before.slice(end);
    input.setSelectionRange(start + c.length, start + c.length);
    input.dispatchEvent(new InputEvent('input', {inputType: type, data: c, bubbles: true}));
    return input.value !== before ? 1 : 0;
  },
  kwt_selectAll__deps: ['$KW'],
  kwt_selectAll: function(handle) {
    var input = KW.nodes[handle].element;
    input.focus();
    input.setSelectionRange(0, input.value.length);
  },
  // A right-click on the window's canvas, then a click on the entry `id` of the menu it
  // opened: 1 when there was such an entry, enabled. The menu is closed either way.
  kwt_chooseMenu__deps: ['$KW'],
  kwt_chooseMenu: function(handle, id) {
    var canvas = KW.nodes[handle].canvas, box = canvas.getBoundingClientRect();
    canvas.dispatchEvent(new MouseEvent('contextmenu', {bubbles: true, cancelable: true,
      clientX: box.left + 10, clientY: box.top + 10, button: 2}));
    var entry = KW.menu && KW.menu.querySelector('.entry[data-id="' + id + '"]');
    if (!entry || entry.disabled) {
      KW.closeMenu();
      return 0;
    }
    entry.click();
    return 1;
  },
  // A key pressed with the focus on one of the window's controls (or the window itself).
  kwt_pressKey__deps: ['$KW'],
  kwt_pressKey: function(handle, code, ctrl, shift) {
    var root = KW.nodes[handle].element;
    var target = root.contains(document.activeElement) ? document.activeElement
               : root.querySelector('.control') || root;
    var key = String.fromCharCode(code);
    target.dispatchEvent(new KeyboardEvent('keydown', {key: shift ? key : key.toLowerCase(),
      ctrlKey: !!ctrl, shiftKey: !!shift, bubbles: true, cancelable: true}));
  },
  // The canvas's pixels over a rectangle, 0xRRGGBB each, black outside the canvas.
  kwt_shownPixels__deps: ['$KW'],
  kwt_shownPixels: function(handle, x, y, w, h, out) {
    var canvas = KW.nodes[handle].canvas;
    var data = KW.nodes[handle].context.getImageData(x, y, w, h).data;
    for (var k = 0; k < w * h; ++k) {
      var px = x + k % w, py = y + Math.floor(k / w);
      var inside = px >= 0 && py >= 0 && px < canvas.width && py < canvas.height;
      HEAP32[(out >> 2) + k] = inside ? (data[4 * k] << 16) | (data[4 * k + 1] << 8) | data[4 * k + 2] : 0;
    }
  },
  kwt_copiedLength__deps: ['$KW'],
  kwt_copiedLength: function() {
    return (KW.copied || '').length;
  },
  kwt_copiedRead__deps: ['$KW'],
  kwt_copiedRead: function(text, length) {
    KW.writeLatin1((KW.copied || '').slice(0, length), text);
  },
  // As a click on the row (or with Ctrl on the selected one, for none) reports it.
  kwt_select__deps: ['$KW'],
  kwt_select: function(handle, row) {
    _kestravin_select(handle, row);
  },
  kwt_shownPixel__deps: ['$KW'],
  kwt_shownPixel: function(handle, x, y) {
    var canvas = KW.nodes[handle].canvas;
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return 0;
    var p = KW.nodes[handle].context.getImageData(x, y, 1, 1).data;
    return (p[0] << 16) | (p[1] << 8) | p[2];
  },
});
