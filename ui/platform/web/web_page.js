// The page side of the web backend (web_host.h): windows and controls as HTML elements over
// the page's screen area, each window's pixels on a canvas, the main loop's passes as tasks
// of their own, message boxes as modal dialogs, and finished files as downloads. It calls
// back the backend's kestravin_* functions (web_platform.cpp).
mergeInto(LibraryManager.library, {
  $KW__deps: ['$FS'],
  $KW: {
    nodes: {},  // handle: the record of a window or control
    top: 1,  // the z-index of the frontmost window
    passPosted: false,
    passWanted: false,  // a pass was asked for while a message box was up
    framePosted: false,
    dialogs: [],
    state: '',

    // Single-byte texts: each byte is the character of the same code.
    latin1: function(ptr, length) {
      var text = '';
      for (var i = 0; i < length; i += 4096) {
        text += String.fromCharCode.apply(null, HEAPU8.subarray(ptr + i, ptr + Math.min(i + 4096, length)));
      }
      return text;
    },
    // Back to bytes: a character beyond code 255 becomes '?'.
    writeLatin1: function(text, ptr) {
      for (var i = 0; i < text.length; ++i) {
        var c = text.charCodeAt(i);
        HEAPU8[ptr + i] = c < 256 ? c : 63;
      }
    },
    ints: function(ptr, count) {
      return Array.from(HEAP32.subarray(ptr >> 2, (ptr >> 2) + count));
    },
    place: function(element, x, y, w, h) {
      element.style.left = x + 'px';
      element.style.top = y + 'px';
      element.style.width = w + 'px';
      element.style.height = h + 'px';
    },
    screen: function() {
      return document.getElementById('screen') || document.body;
    },

    // The state tests and the page can wait on: busy while a pass or a frame is due.
    setState: function() {
      var state = KW.dialogs.length ? 'message' : KW.passPosted || KW.framePosted ? 'busy' : 'idle';
      if (state !== KW.state) {
        KW.state = state;
        document.documentElement.dataset.state = state;
      }
    },
    // A task of its own, after the input and rendering already waiting.
    post: function(task) {
      if (globalThis.scheduler && scheduler.postTask) {
        scheduler.postTask(task, {priority: 'user-visible'});
        return;
      }
      if (!KW.channel) {
        KW.channel = new MessageChannel();
        KW.tasks = [];
        KW.channel.port1.onmessage = function() { KW.tasks.shift()(); };
      }
      KW.tasks.push(task);
      KW.channel.port2.postMessage(0);
    },
    requestPass: function() {
      if (KW.passPosted) return;
      if (KW.dialogs.length) {
        KW.passWanted = true;
        return;
      }
      KW.passPosted = true;
      KW.setState();
      KW.post(KW.runPass);
    },
    runPass: function() {
      KW.passPosted = false;
      if (KW.dialogs.length) {
        KW.passWanted = true;
      } else if (_kestravin_pass()) {
        KW.requestPass();
      }
      KW.setState();
    },
    requestFrame: function() {
      if (KW.framePosted) return;
      KW.framePosted = true;
      KW.setState();
      requestAnimationFrame(function() {
        KW.framePosted = false;
        _kestravin_flush();
        KW.setState();
      });
    },

    // Message boxes, one at a time; the main loop waits while one is up.
    showDialog: function() {
      var box = KW.dialogs[0];
      var dialog = document.createElement('dialog');
      dialog.className = 'message';
      var caption = document.createElement('div');
      caption.className = 'caption';
      caption.textContent = box.caption;
      var text = document.createElement('p');
      text.textContent = box.text;
      var form = document.createElement('form');
      form.method = 'dialog';
      var ok = document.createElement('button');
      ok.textContent = 'OK';
      ok.value = 'ok';
      form.appendChild(ok);
      if (box.question) {
        var cancel = document.createElement('button');
        cancel.textContent = 'Cancel';
        cancel.value = 'cancel';
        form.appendChild(cancel);
      }
      dialog.append(caption, text, form);
      dialog.addEventListener('close', function() {
        dialog.remove();
        KW.dialogs.shift();
        if (KW.dialogs.length) {
          KW.showDialog();
        } else if (KW.passWanted) {
          KW.passWanted = false;
          KW.requestPass();
        }
        // The answer comes once the queue has moved on, since it may show a box of its own.
        // Escape closes a question as Cancel does.
        if (box.question) _kestravin_answer(box.question, dialog.returnValue === 'ok' ? 1 : 0);
        KW.setState();
      });
      document.body.appendChild(dialog);
      dialog.showModal();
      ok.focus();
      KW.setState();
    },

    // Context menus: one open at a time, closed by a choice, Escape, or a click elsewhere.
    showMenu: function(handle, lines, x, y) {
      KW.closeMenu();
      var menu = document.createElement('div');
      menu.className = 'menu';
      menu.setAttribute('role', 'menu');
      lines.split('\n').forEach(function(line) {
        if (!line) return;
        var f = line.split('\t');
        var id = Number(f[0]), flags = Number(f[1]);
        var entry = document.createElement('button');
        entry.type = 'button';
        entry.className = 'entry';
        entry.dataset.id = id;
        entry.disabled = !(flags & 1);
        entry.setAttribute('role', flags & 2 ? 'menuitemcheckbox' : 'menuitem');
        if (flags & 2) entry.setAttribute('aria-checked', flags & 4 ? 'true' : 'false');
        var mark = document.createElement('span');
        mark.className = 'mark';
        mark.textContent = flags & 4 ? '\u2713' : '';
        var text = document.createElement('span');
        text.className = 'text';
        text.textContent = f[2];
        var key = document.createElement('span');
        key.className = 'key';
        key.textContent = f[3] || '';
        entry.append(mark, text, key);
        entry.addEventListener('click', function() {
          KW.closeMenu();
          _kestravin_menuCommand(handle, id);
        });
        menu.appendChild(entry);
      });
      menu.addEventListener('keydown', function(event) {
        var entries = Array.from(menu.querySelectorAll('.entry:not(:disabled)'));
        var at = entries.indexOf(document.activeElement);
        if (event.key === 'Escape') {
          KW.closeMenu();
        } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
          var step = event.key === 'ArrowDown' ? 1 : entries.length - 1;
          if (entries.length) entries[(at + step) % entries.length].focus();
        } else {
          return;
        }
        event.preventDefault();
      });
      menu.style.left = x + 'px';
      menu.style.top = y + 'px';
      document.body.appendChild(menu);
      // Kept inside the page's view.
      var box = menu.getBoundingClientRect();
      if (box.right > innerWidth) menu.style.left = Math.max(0, x - box.width) + 'px';
      if (box.bottom > innerHeight) menu.style.top = Math.max(0, y - box.height) + 'px';
      KW.menu = menu;
      KW.menuFocus = document.activeElement;
      var first = menu.querySelector('.entry:not(:disabled)');
      if (first) first.focus({preventScroll: true});
      setTimeout(function() {
        if (KW.menu === menu) document.addEventListener('mousedown', KW.menuOutside, true);
      }, 0);
    },
    menuOutside: function(event) {
      if (KW.menu && !KW.menu.contains(event.target)) KW.closeMenu();
    },
    closeMenu: function() {
      if (!KW.menu) return;
      KW.menu.remove();
      KW.menu = null;
      document.removeEventListener('mousedown', KW.menuOutside, true);
      if (KW.menuFocus && KW.menuFocus.focus) KW.menuFocus.focus({preventScroll: true});
    },
    // A window's keys work wherever the focus is in it; Cmd stands for Ctrl on a Mac.
    watchKeys: function(handle, keys) {
      KW.nodes[handle].element.addEventListener('keydown', function(event) {
        if (event.altKey || event.repeat) return;
        var ctrl = event.ctrlKey || event.metaKey;
        var key = event.key.length === 1 ? event.key.toUpperCase() : '';
        for (var i = 0; i < keys.length; i += 4) {
          if (key === String.fromCharCode(keys[i]) && ctrl === !!keys[i + 1] &&
              event.shiftKey === !!keys[i + 2]) {
            event.preventDefault();
            _kestravin_menuCommand(handle, keys[i + 3]);
            return;
          }
        }
      });
    },

    // Edit fields: what the user types, pastes or drops is checked by the backend, and
    // undone when refused.
    initField: function(node, handle) {
      var input = node.element;
      node.accepted = '';
      node.caret = [0, 0];
      input.addEventListener('beforeinput', function() {
        node.caret = [input.selectionStart, input.selectionEnd];
      });
      input.addEventListener('input', function() {
        var before = node.accepted, after = input.value;
        var start = 0;
        while (start < before.length && start < after.length && before[start] === after[start]) ++start;
        var end = 0;
        while (end < before.length - start && end < after.length - start &&
               before[before.length - 1 - end] === after[after.length - 1 - end]) ++end;
        var inserted = after.slice(start, after.length - end);
        var keep = KW.fieldKeeps(handle, inserted, before.length, after.length);
        if (keep < 0) {
          input.value = before;
          input.setSelectionRange(node.caret[0], node.caret[1]);
        } else if (keep < inserted.length) {  // what does not fit is cut off
          input.value = after.slice(0, start) + inserted.slice(0, keep) + after.slice(after.length - end);
          input.setSelectionRange(start + keep, start + keep);
        }
        node.accepted = input.value;
      });
    },
    // How many of the inserted characters the field keeps; -1 refuses them all. Characters
    // beyond Latin-1 are refused: the program's texts are single bytes.
    fieldKeeps: function(handle, inserted, before, result) {
      for (var i = 0; i < inserted.length; ++i) {
        if (inserted.charCodeAt(i) > 255) return -1;
      }
      var ptr = _kestravin_scratch(inserted.length);
      KW.writeLatin1(inserted, ptr);
      return _kestravin_keeps(handle, inserted.length, before, result);
    },

    // List boxes: the rows a screenful at a time, asked of the backend as they come into view.
    initList: function(node, handle, rowHeight) {
      var view = node.element;
      view.kwHandle = handle;
      view.tabIndex = 0;
      node.spacer = document.createElement('div');
      node.spacer.className = 'spacer';
      node.rows = document.createElement('div');
      node.rows.className = 'rows';
      view.append(node.spacer, node.rows);
      node.rowHeight = rowHeight;
      node.stops = [];
      node.layout = [0, 0, 0, 0, -1, 0];
      view.addEventListener('scroll', function() { KW.renderList(handle); });
      view.addEventListener('mousedown', function(event) {
        var row = event.target.closest('.row');
        if (!row) return;
        var index = Number(row.dataset.row);
        var selected = node.layout[4];
        if (event.ctrlKey && index === selected) {
          _kestravin_select(handle, -1);
        } else if (index !== selected) {
          _kestravin_select(handle, index);
        }
      });
      view.addEventListener('keydown', function(event) {
        var count = node.layout[5], selected = node.layout[4];
        if (!count) return;
        var page = Math.max(1, Math.floor(view.clientHeight / node.rowHeight) - 1);
        var moves = {ArrowDown: selected + 1, ArrowUp: selected - 1, Home: 0, End: count - 1,
                     PageDown: selected + page, PageUp: selected - page};
        if (!(event.key in moves)) return;
        event.preventDefault();
        var row = selected < 0 ? 0 : Math.max(0, Math.min(count - 1, moves[event.key]));
        if (row !== selected) _kestravin_select(handle, row);
      });
    },
    showList: function(handle, mode) {
      var node = KW.nodes[handle];
      if (!node) return;
      var view = node.element;
      if (mode === 2) {
        view.scrollTop = 0;
      } else if (mode === 1) {
        KW.renderList(handle);  // the scrolled height first, for the reveal to scroll within
        view.scrollTop = _kestravin_listReveal(handle, view.scrollTop, view.clientHeight);
      }
      KW.renderList(handle);
    },
    renderList: function(handle) {
      var node = KW.nodes[handle];
      if (!node) return;
      var view = node.element;
      var height = view.clientHeight;
      var at = _kestravin_listLayout(handle, view.scrollTop, height) >> 3;
      var layout = Array.from(HEAPF64.subarray(at, at + 6));
      node.layout = layout;
      node.spacer.style.height = layout[3] + 'px';
      node.rows.style.top = (view.scrollTop - layout[2]) + 'px';
      while (node.rows.children.length > layout[1]) node.rows.lastChild.remove();
      for (var i = 0; i < layout[1]; ++i) {
        var row = node.rows.children[i];
        if (!row) {
          row = document.createElement('div');
          row.className = 'row';
          node.rows.appendChild(row);
        }
        var index = layout[0] + i;
        var text = _kestravin_rowText(handle, index);
        var parts = KW.latin1(text, _kestravin_rowLength()).split('\t');
        row.dataset.row = index;
        row.classList.toggle('selected', index === layout[4]);
        row.replaceChildren();
        for (var k = 0; k < parts.length; ++k) {
          var span = document.createElement('span');
          span.textContent = parts[k];
          // The first part starts at the row's margin, each further one at its tab stop
          // (counted from the list's outer edge), or past the last stop by 64 pixels.
          var stop = k === 0 ? 2 : k - 1 < node.stops.length ? node.stops[k - 1] - 1 : 2 + 64 * k;
          span.style.left = stop + 'px';
          row.appendChild(span);
        }
      }
    },

    // A file the program has finished writing in the outbox folder goes to the user as a
    // download, under its own name, and leaves the page's memory.
    watchOutbox: function(folder) {
      FS.mkdirTree(folder);
      var close = FS.close;
      FS.close = function(stream) {
        var path = stream.path, writing = (stream.flags & 3) !== 0;
        var result = close.apply(this, arguments);
        if (writing && path && path.startsWith(folder + '/')) KW.offer(path);
        return result;
      };
      // Leaving the page while a file is being written (a report) loses it: ask first.
      window.addEventListener('beforeunload', function(event) {
        var open = FS.streams.some(function(s) {
          return s && (s.flags & 3) !== 0 && s.path && s.path.startsWith(folder + '/');
        });
        if (open) event.preventDefault();
      });
    },
    // The page's own elements: a click on one with a data-action, a file picked in a file
    // input with one (copied into the page's files; too large a file is not read).
    watchActions: function() {
      document.addEventListener('click', function(event) {
        var element = event.target.closest('[data-action]');
        if (!element || element.type === 'file') return;
        event.preventDefault();
        KW.action(element.dataset.action, element.dataset.argument || '', '');
      });
      document.addEventListener('change', function(event) {
        var input = event.target;
        if (input.type !== 'file' || !input.dataset.action || !input.files.length) return;
        var file = input.files[0];
        input.value = '';
        var limit = Number(input.dataset.maxBytes || Infinity);
        if (file.size > limit) {
          KW.action(input.dataset.action, '', file.name);
          return;
        }
        file.arrayBuffer().then(function(data) {
          FS.mkdirTree('/uploads');
          var path = '/uploads/' + (++KW.uploads);
          FS.writeFile(path, new Uint8Array(data));
          KW.action(input.dataset.action, path, file.name);
        });
      });
    },
    uploads: 0,
    action: function(name, argument, file) {
      var ptr = _kestravin_scratch(name.length + argument.length + file.length);
      KW.writeLatin1(name + argument + file, ptr);
      _kestravin_pageAction(name.length, argument.length, file.length);
    },
    offer: function(path, keep) {
      var bytes = FS.readFile(path);
      if (!keep) FS.unlink(path);
      var url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
      var link = document.createElement('a');
      link.href = url;
      link.download = path.slice(path.lastIndexOf('/') + 1);
      document.body.appendChild(link);
      link.click();
      link.remove();
      // The page lists its last files, so that a download the browser blocked or the user
      // lost can be had again; older ones give their memory back.
      var list = document.getElementById('file-list');
      if (!list) {
        setTimeout(function() { URL.revokeObjectURL(url); }, 60000);
        return;
      }
      var item = document.createElement('li');
      var again = document.createElement('a');
      again.href = url;
      again.download = link.download;
      again.textContent = link.download + ' (' + Math.max(1, Math.round(bytes.length / 1024)) + ' kB)';
      item.appendChild(again);
      list.prepend(item);
      while (list.children.length > KW.keptFiles) {
        URL.revokeObjectURL(list.lastChild.firstChild.href);
        list.lastChild.remove();
      }
      list.closest('section').hidden = false;
    },
    keptFiles: 5,
  },

  kw_windowCreate__deps: ['$KW'],
  kw_windowCreate: function(handle, parent, kind, className, classLength, title, titleLength,
                            outer, client) {
    var o = KW.ints(outer, 4), c = KW.ints(client, 4);
    var root = document.createElement('div');
    var area = document.createElement('div');
    area.className = 'client';
    var canvas = document.createElement('canvas');
    canvas.width = Math.max(c[2], 0);
    canvas.height = Math.max(c[3], 0);
    area.appendChild(canvas);
    if (kind === 2) {
      root.className = 'child';
      KW.place(root, o[0], o[1], o[2], o[3]);
      KW.place(area, c[0] - o[0], c[1] - o[1], c[2], c[3]);
      root.appendChild(area);
      KW.nodes[parent].area.appendChild(root);
    } else {
      root.className = 'window';
      root.hidden = true;
      root.tabIndex = -1;
      KW.place(root, o[0], o[1], o[2], o[3]);
      var caption = document.createElement('div');
      caption.className = 'caption';
      caption.textContent = KW.latin1(title, titleLength);
      KW.place(area, c[0], c[1], c[2], c[3]);
      root.append(caption, area);
      KW.screen().appendChild(root);
    }
    root.dataset.class = KW.latin1(className, classLength);
    // Right-click or the menu key: the program's menu, never the browser's, over its windows.
    root.addEventListener('contextmenu', function(event) {
      if (event.target.closest('input')) return;  // a field keeps its own Cut, Copy, Paste
      event.preventDefault();
      event.stopPropagation();
      var x = event.pageX, y = event.pageY;
      if (!event.clientX && !event.clientY) {  // from the keyboard: at the focused element
        var box = (document.activeElement || root).getBoundingClientRect();
        x = box.left + scrollX + 4;
        y = box.top + scrollY + 4;
      }
      _kestravin_menu(handle, Math.round(x), Math.round(y));
    });
    KW.nodes[handle] = {element: root, area: area, canvas: canvas,
                        context: canvas.getContext('2d')};
  },
  kw_windowRemove__deps: ['$KW'],
  kw_windowRemove: function(handle) {
    var node = KW.nodes[handle];
    if (node) node.element.remove();
    delete KW.nodes[handle];
  },
  kw_windowShow__deps: ['$KW'],
  kw_windowShow: function(handle, shown) {
    var element = KW.nodes[handle].element;
    element.hidden = !shown;
    // A hidden list shows no rows: shown, it lays them out, its selected row in view.
    if (shown) element.querySelectorAll('.list').forEach(function(list) { KW.showList(list.kwHandle, 1); });
  },
  kw_windowRaise__deps: ['$KW'],
  kw_windowRaise: function(handle) {
    var element = KW.nodes[handle].element;
    element.style.zIndex = ++KW.top;
    if (!element.contains(document.activeElement)) element.focus({preventScroll: true});
  },
  kw_windowKeys__deps: ['$KW'],
  kw_windowKeys: function(handle, keys, count) {
    KW.watchKeys(handle, KW.ints(keys, 4 * count));
  },
  kw_showMenu__deps: ['$KW'],
  kw_showMenu: function(handle, items, length, x, y) {
    KW.showMenu(handle, KW.latin1(items, length), x, y);
  },
  kw_windowPut__deps: ['$KW'],
  kw_windowPut: function(handle, pixels, width, height, x, y, w, h) {
    var node = KW.nodes[handle];
    if (!node || !width || !height) return;
    var image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4),
                              width, height);
    node.context.putImageData(image, 0, 0, x, y, w, h);
  },

  kw_controlCreate__deps: ['$KW'],
  kw_controlCreate: function(handle, window, kind, text, textLength, rect, flag) {
    var r = KW.ints(rect, 4);
    var label = KW.latin1(text, textLength);
    var node = {};
    var element;
    if (kind === 0) {
      element = document.createElement('button');
      element.type = 'button';
      element.className = 'control button';
      element.textContent = label;
      element.addEventListener('click', function() { _kestravin_click(handle); });
    } else if (kind === 1) {
      element = document.createElement('label');
      element.className = 'control check';
      var box = document.createElement('input');
      box.type = 'checkbox';
      var span = document.createElement('span');
      span.textContent = label;
      element.append(box, span);
      node.box = box;
      box.addEventListener('click', function() { _kestravin_click(handle); });
    } else if (kind === 2) {
      element = document.createElement('input');
      element.type = 'text';
      element.className = 'control edit';
      element.spellcheck = false;
      element.autocomplete = 'off';
      if (flag) element.inputMode = 'numeric';
    } else {
      element = document.createElement('div');
      element.className = 'control list';
    }
    node.element = element;
    KW.place(element, r[0], r[1], r[2], r[3]);
    KW.nodes[handle] = node;
    if (kind === 2) KW.initField(node, handle);
    if (kind === 3) KW.initList(node, handle, flag);
    KW.nodes[window].area.appendChild(element);
  },
  kw_controlRemove__deps: ['$KW'],
  kw_controlRemove: function(handle) {
    var node = KW.nodes[handle];
    if (node) node.element.remove();
    delete KW.nodes[handle];
  },
  kw_controlFont__deps: ['$KW'],
  kw_controlFont: function(handle) {
    KW.nodes[handle].element.classList.add('ui-font');
  },
  kw_checkState__deps: ['$KW'],
  kw_checkState: function(handle) {
    return KW.nodes[handle].box.checked ? 1 : 0;
  },
  kw_editLength__deps: ['$KW'],
  kw_editLength: function(handle) {
    return KW.nodes[handle].element.value.length;
  },
  kw_editRead__deps: ['$KW'],
  kw_editRead: function(handle, text, length) {
    KW.writeLatin1(KW.nodes[handle].element.value.slice(0, length), text);
  },
  kw_editWrite__deps: ['$KW'],
  kw_editWrite: function(handle, text, length) {
    var node = KW.nodes[handle];
    node.element.value = KW.latin1(text, length);
    node.accepted = node.element.value;
    node.element.scrollLeft = 0;
  },
  kw_listTabStops__deps: ['$KW'],
  kw_listTabStops: function(handle, stops, count) {
    KW.nodes[handle].stops = KW.ints(stops, count);
  },
  kw_listRender__deps: ['$KW'],
  kw_listRender: function(handle, mode) {
    KW.showList(handle, mode);
  },

  kw_requestPass__deps: ['$KW'],
  kw_requestPass: function() {
    KW.requestPass();
  },
  kw_requestFrame__deps: ['$KW'],
  kw_requestFrame: function() {
    KW.requestFrame();
  },
  kw_messageBox__deps: ['$KW'],
  kw_messageBox: function(question, caption, captionLength, text, textLength) {
    KW.dialogs.push({question: question, caption: KW.latin1(caption, captionLength),
                     text: KW.latin1(text, textLength)});
    if (KW.dialogs.length === 1) KW.showDialog();
  },
  kw_queryLength: function() {
    return location.search.slice(1).length;
  },
  kw_queryRead__deps: ['$KW'],
  kw_queryRead: function(text, length) {
    KW.writeLatin1(location.search.slice(1, 1 + length), text);
  },
  kw_pageStart__deps: ['$KW'],
  kw_pageStart: function(folder, length) {
    KW.watchOutbox(KW.latin1(folder, length));
    KW.watchActions();
  },
  kw_pageText__deps: ['$KW'],
  kw_pageText: function(id, idLength, text, textLength) {
    var element = document.getElementById(KW.latin1(id, idLength));
    if (element) element.textContent = KW.latin1(text, textLength);
  },
  kw_pageLink__deps: ['$KW'],
  kw_pageLink: function(id, idLength, address, addressLength) {
    var element = document.getElementById(KW.latin1(id, idLength));
    if (element) element.href = KW.latin1(address, addressLength);
  },
  kw_offerFile__deps: ['$KW'],
  kw_offerFile: function(path, length, remove) {
    KW.offer(KW.latin1(path, length), !remove);
  },
  kw_copyText__deps: ['$KW'],
  kw_copyText: function(text, length) {
    var value = KW.latin1(text, length);
    KW.copied = value;
    if (navigator.clipboard) navigator.clipboard.writeText(value).catch(function() {});
  },
  kw_pageBaseLength: function() {
    return (location.origin + location.pathname).length;
  },
  kw_pageBaseRead__deps: ['$KW'],
  kw_pageBaseRead: function(text, length) {
    KW.writeLatin1((location.origin + location.pathname).slice(0, length), text);
  },
});
