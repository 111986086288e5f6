// The user's actions on the page's elements, and the pixels its canvases show, for the tests
// of the web backend (web_testing.cpp).
mergeInto(LibraryManager.library, {
  kwt_click__deps: ['$KW'],
  kwt_click: function(handle) {
    var node = KW.nodes[handle];
    (node.box || node.element).click();
  },
  // Types one character at the end of the field as the browser would: the text changes, and
  // the field's own handlers then keep or undo it. 1 when the text changed.
  kwt_type__deps: ['$KW'],
  kwt_type: function(handle, code) {
    var input = KW.nodes[handle].element;
    var before = input.value, c = String.fromCharCode(code);
    input.setSelectionRange(before.length, before.length);
    input.dispatchEvent(new InputEvent('beforeinput', {inputType: 'insertText', data: c,
                                                        bubbles: true, cancelable: true}));
    input.value = before + c;
    input.dispatchEvent(new InputEvent('input', {inputType: 'insertText', data: c, bubbles: true}));
    return input.value !== before ? 1 : 0;
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
