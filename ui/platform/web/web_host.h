#pragma once

#include <cstdint>

// What the page does for the web backend: the functions of web_page.js, which keeps the
// windows and controls as HTML elements. Handles are the backend's own numbers; texts are
// single-byte (Latin-1) with their lengths; positions are pixels of the page's screen area
// or of a window's client area.
extern "C" {

/// A window: top-level (kind 0 with a close box, 1 without), or a bordered child (kind 2)
/// inside its parent's client area. `outer` and `client` are x, y, w, h; a top-level window's
/// client area is given from its outer corner.
void kw_windowCreate(int handle, int parent, int kind, const char* className, int classLength,
                     const char* title, int titleLength, const int* outer, const int* client);
void kw_windowRemove(int handle);
void kw_windowShow(int handle, int shown);
/// Brings a top-level window to the front and gives it the focus.
void kw_windowRaise(int handle);
/// A top-level window's keys: `count` bindings of four numbers each (the key's character
/// code, Ctrl, Shift, the command's id), reported by kestravin_menuCommand.
void kw_windowKeys(int handle, const int* keys, int count);
/// Opens a window's context menu at a point of the page: one entry to a line, as id, flags
/// (1 enabled, 2 checkable, 4 checked), text and key text separated by tabs. The choice is
/// reported by kestravin_menuCommand.
void kw_showMenu(int handle, const char* items, int length, int x, int y);
/// Shows part of a window's pixels (`width` to a row) on its canvas.
void kw_windowPut(int handle, const std::uint32_t* pixels, int width, int height, int x, int y,
                  int w, int h);

/// A control in a window's client area: a push button (kind 0), a check box (1), an edit field
/// (2, `flag` 1 for digits only) or a list box (3, `flag` its row height).
void kw_controlCreate(int handle, int window, int kind, const char* text, int textLength,
                      const int* rect, int flag);
void kw_controlRemove(int handle);
/// Draws the control's text in the program's font.
void kw_controlFont(int handle);
int kw_checkState(int handle);
/// The length of an edit field's text, and the text (as Latin-1, '?' for other characters).
int kw_editLength(int handle);
void kw_editRead(int handle, char* text, int length);
void kw_editWrite(int handle, const char* text, int length);
/// A list box's columns: where each part of a row after a tab starts, from the list's edge.
void kw_listTabStops(int handle, const int* stops, int count);
/// Shows a list box's rows again (its rows or selection have changed), scrolled as before
/// (`mode` 0), to the selected row (1) or to the top (2).
void kw_listRender(int handle, int mode);

/// Asks for a pass of the main loop as a task of its own, unless one is waiting.
void kw_requestPass();
/// Asks for the windows' pixels to be shown at the next animation frame.
void kw_requestFrame();
/// A modal box with a caption, a text and an OK button, or for a question (`question` not 0)
/// OK and Cancel, whose answer goes to kestravin_answer; the main loop waits while it is up.
void kw_messageBox(int question, const char* caption, int captionLength, const char* text,
                   int textLength);
/// Starts the page's side: from now on the files the program closes in `folder` (made when
/// missing) go to the user as downloads and are removed, and the page's own elements report
/// their actions (kestravin_pageAction).
void kw_pageStart(const char* folder, int length);
/// The page around the windows: the text of one of its elements, or the address of a link.
void kw_pageText(const char* id, int idLength, const char* text, int textLength);
void kw_pageLink(const char* id, int idLength, const char* address, int addressLength);
/// Hands a finished file to the user as a download under its own name; removes it after
/// (`remove` not 0).
void kw_offerFile(const char* path, int length, int remove);
/// Puts a text on the clipboard.
void kw_copyText(const char* text, int length);
/// The page's address without its query: its length, and the text.
int kw_pageBaseLength();
void kw_pageBaseRead(char* text, int length);
/// The page address's query, without the '?': its length, and the text.
int kw_queryLength();
void kw_queryRead(char* text, int length);

}  // extern "C"
