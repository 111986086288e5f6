// Single-colour text on a canvas from a web font: each glyph is drawn once with fillText,
// which antialiases, and its coverage is cut at a threshold into a mask of whole pixels.
// Text is then laid out glyph by glyph and painted in one colour, so every text pixel is
// exactly the text colour, as in the desktop program. As there, the pen moves by advances in
// 64ths of a pixel and each glyph is drawn whole at the pen's pixel, rounded down.

/// Glyph masks of one font for the character codes first..last: { ascent, descent, glyphs },
/// each glyph { advance64, left, top, width, height, mask } with the advance in 64ths of a
/// pixel, `mask` one byte per pixel (1 = ink) and left/top the mask's offset from the pen
/// at the cell's top.
export function buildGlyphAtlas(family, pixelSize, { threshold = 128, first = 32, last = 126 } = {}) {
  const font = `${pixelSize}px ${family}`;
  const scratch = document.createElement('canvas');
  // Room for any glyph of the font around the pen, with margins for overhangs.
  const room = pixelSize * 3;
  scratch.width = room;
  scratch.height = room;
  const context = scratch.getContext('2d', { willReadFrequently: true });
  context.font = font;
  context.textBaseline = 'alphabetic';
  context.fillStyle = '#fff';
  const probe = context.measureText('Hg');
  const ascent = Math.round(probe.fontBoundingBoxAscent);
  const descent = Math.round(probe.fontBoundingBoxDescent);
  const penX = pixelSize;
  const penY = pixelSize;  // the cell's top; the baseline is ascent below it
  const glyphs = [];
  for (let code = first; code <= last; ++code) {
    const text = String.fromCharCode(code);
    context.clearRect(0, 0, room, room);
    context.fillText(text, penX, penY + ascent);
    const { data } = context.getImageData(0, 0, room, room);
    let x0 = room, y0 = room, x1 = -1, y1 = -1;
    for (let y = 0; y < room; ++y) {
      for (let x = 0; x < room; ++x) {
        if (data[(y * room + x) * 4 + 3] >= threshold) {
          x0 = Math.min(x0, x); x1 = Math.max(x1, x);
          y0 = Math.min(y0, y); y1 = Math.max(y1, y);
        }
      }
    }
    const width = Math.max(x1 - x0 + 1, 0);
    const height = Math.max(y1 - y0 + 1, 0);
    const mask = new Uint8Array(width * height);
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        mask[y * width + x] = data[((y0 + y) * room + x0 + x) * 4 + 3] >= threshold ? 1 : 0;
      }
    }
    glyphs.push({
      // The design advance cut down to 64ths, as FreeType gives it to the desktop program.
      advance64: Math.floor(context.measureText(text).width * 64 + 1e-3),
      left: width ? x0 - penX : 0,
      top: height ? y0 - penY : 0,
      width,
      height,
      mask,
    });
  }
  return { first, last, ascent, descent, glyphs };
}

/// Paints `text` into RGBA pixels (an ImageData's data, `stride` pixels a row) with the cell's
/// top-left corner at x, y, in one opaque colour, over whatever is there; codes outside the
/// atlas are skipped without advancing. Returns the pen position after the text, in pixels.
export function drawMonoText(pixels, stride, rows, atlas, x, y, text, [r, g, b]) {
  let pen64 = x * 64;
  for (let i = 0; i < text.length; ++i) {
    const code = text.charCodeAt(i);
    if (code < atlas.first || code > atlas.last) continue;
    const glyph = atlas.glyphs[code - atlas.first];
    const pen = Math.floor(pen64 / 64);
    for (let gy = 0; gy < glyph.height; ++gy) {
      const py = y + glyph.top + gy;
      if (py < 0 || py >= rows) continue;
      for (let gx = 0; gx < glyph.width; ++gx) {
        const px = pen + glyph.left + gx;
        if (px < 0 || px >= stride || !glyph.mask[gy * glyph.width + gx]) continue;
        const at = (py * stride + px) * 4;
        pixels[at] = r;
        pixels[at + 1] = g;
        pixels[at + 2] = b;
        pixels[at + 3] = 255;
      }
    }
    pen64 += glyph.advance64;
  }
  return pen64 / 64;
}
