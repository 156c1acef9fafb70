// SPDX-License-Identifier: GPL-3.0-or-later
// The player's page, first of its three scripts: the texts, paces and state, the numbered paper, reading the
// chosen, dropped or embedded puzzle and laying it out. assemble-page.py runs the three in one function's scope.

// The desktop's own words, so that a friend reads what the program would have said.
const Texts = {
    damaged: 'The puzzle file "%1" is damaged: %2',
    cutShort: 'it ends before its header is complete.',
    gridRefused: 'its grid is not one that Quorra makes.',
    tooNew: 'This puzzle requires Quorra version %1 or later.',
    notPuzzle: '"%1" cannot be opened by Quorra.\nChoose or drop a puzzle file (.nbq) to solve it.',
    pictureUnreadable: 'its picture cannot be decoded.',
    tooManyScans: 'its picture has more than 100 scans.',
    tooMuchBesides: 'its picture has more than 8 MB of data besides its pixels.',
    tooLarge: 'The picture is too large (%1 x %2 pixels).',
    progress: 'Moves: %1    Time: %2',
    solvedOne: 'Solved in %1 move, %2',
    solvedMany: 'Solved in %1 moves, %2',
};
const JpegVerdict = { Fine: 0, NotJpeg: 1, TooManyScans: 2, TooMuchBesidesPicture: 3, TooLarge: 4 };
// The desktop's paces: a tangle step a person can follow, a slide of about a tenth of a second, the advice's
// flash; and how long a finger rests on a cell to ask for advice.
const TangleStepMs = 60;
const SlideFrames = 6;
const SlideFrameMs = 16;
const AdviceMs = 200;
const LongPressMs = 500;
const PuzzleHeaderSize = 889;

const $ = (id) => document.getElementById(id);
const board = $('board');
const ctx = board.getContext('2d');
const say = (text, ...args) => args.reduce((s, a, i) => s.replace('%' + (i + 1), a), text);

let core = null;
let paper = null; // the concealment texture: its bitmap, its RGBA pixels and a pattern for empty cells
let puzzle = null; // the puzzle on screen; see openBytes
const play = { pointer: null, longPress: 0 }; // the pointer that holds a cell, and a finger's resting timer
const clock = { moves: 0, banked: 0, since: 0, running: false, finished: false, timer: 0 };

function bytesFromBase64(text) {
    const raw = atob(text);
    const bytes = new Uint8Array(raw.length);
    for (let i = 0; i < raw.length; ++i)
        bytes[i] = raw.charCodeAt(i);
    return bytes;
}

// Copies bytes into the module's memory for one call; the module may grow its memory meanwhile, so its
// heap is looked up again after every call.
function withBytes(bytes, call) {
    const at = core._malloc(Math.max(bytes.length, 1));
    try {
        core.HEAPU8.set(bytes, at);
        return call(at, bytes.length);
    } finally {
        core._free(at);
    }
}

// A refusal is said in the page; a puzzle on screen stays and goes on being played.
function fail(text) {
    $('message').textContent = text;
    $('message').hidden = false;
    if (puzzle)
        return;
    board.hidden = true;
    $('save-photo').hidden = true;
    $('status').textContent = '';
    $('intro').hidden = false;
}

// ---- The numbered paper: core tiles the texture, the page's font writes the number.

function fontFor(size) {
    // Point sizes at 96 dots per inch, as the desktop measures them.
    return 'bold ' + (size * 96) / 72 + 'px "Times New Roman", "Liberation Serif", serif';
}

function metrics(g, text) {
    const m = g.measureText(text);
    const ascent = m.fontBoundingBoxAscent ?? m.actualBoundingBoxAscent;
    const descent = m.fontBoundingBoxDescent ?? m.actualBoundingBoxDescent;
    return { advance: m.width, ascent, height: ascent + descent };
}

const fittedSizes = new Map();
// The size is chosen for "00" so that no cell's number gives away how many digits it has.
function fitFont(g, width, height) {
    const key = width + 'x' + height;
    if (!fittedSizes.has(key)) {
        let size = 8;
        for (;;) {
            g.font = fontFor(size);
            const m = metrics(g, '00');
            if (m.advance >= width / 2 || m.height >= height / 2 || size >= 255)
                break;
            ++size;
        }
        fittedSizes.set(key, size);
    }
    return fontFor(fittedSizes.get(key));
}

const measuring = document.createElement('canvas').getContext('2d');
const stampCanvas = document.createElement('canvas');
// Only the number's box goes through the canvas and back: the paper around it is core's already, and a cell
// can be a large share of a large picture.
function stampNumber(bits, width, height, stride, number) {
    const font = fitFont(measuring, width, height);
    measuring.font = font;
    const text = String(number);
    const m = metrics(measuring, text);
    const x = Math.trunc((width - m.advance) / 2), y = Math.trunc((height - m.height) / 2);
    // Ink may reach past the advance and the font's box: a margin of a quarter of the line each way.
    const margin = Math.ceil(m.height / 4);
    const left = Math.max(0, x - margin), top = Math.max(0, y - margin);
    const w = Math.min(width, Math.ceil(x + m.advance) + margin) - left;
    const h = Math.min(height, Math.ceil(y + m.height) + margin) - top;
    if (w <= 0 || h <= 0)
        return;
    stampCanvas.width = w;
    stampCanvas.height = h;
    const g = stampCanvas.getContext('2d', { willReadFrequently: true });
    const box = new ImageData(w, h);
    const corner = bits + top * stride + left * 3;
    let heap = core.HEAPU8;
    for (let r = 0; r < h; ++r)
        for (let c = 0, s = corner + r * stride, d = r * w * 4; c < w; ++c, s += 3, d += 4) {
            box.data[d] = heap[s];
            box.data[d + 1] = heap[s + 1];
            box.data[d + 2] = heap[s + 2];
            box.data[d + 3] = 255;
        }
    g.putImageData(box, 0, 0);
    g.font = font;
    g.fillStyle = '#000';
    g.textBaseline = 'alphabetic';
    g.fillText(text, x - left, y - top + m.ascent);
    const drawn = g.getImageData(0, 0, w, h).data;
    heap = core.HEAPU8;
    for (let r = 0; r < h; ++r)
        for (let c = 0, s = r * w * 4, d = corner + r * stride; c < w; ++c, s += 4, d += 3) {
            heap[d] = drawn[s];
            heap[d + 1] = drawn[s + 1];
            heap[d + 2] = drawn[s + 2];
        }
}

// ---- Opening a puzzle. A file refused while a puzzle is on screen leaves that puzzle playing, as on the
// desktop; only a puzzle whose picture decoded replaces it.

async function openFile(file) {
    if (!/\.nbq$/i.test(file.name)) {
        fail(say(Texts.notPuzzle, file.name));
        return;
    }
    openBytes(new Uint8Array(await file.arrayBuffer()), file.name);
}

async function openBytes(bytes, name) {
    // Automation may fix the generator's clock (data-clock on the body) to compare random effects and tangles.
    core._player_fix_clock(Number(document.body.dataset.clock || 0) >>> 0);
    const damaged = (why) => fail(say(Texts.damaged, name, why));
    const opened = withBytes(bytes, (at, length) => core._player_open(at, length));
    if (opened === 1)
        return damaged(Texts.cutShort);
    if (opened === 2)
        return damaged(Texts.gridRefused);
    if (opened === 3)
        return fail(say(Texts.tooNew, core._player_newer_version()));

    const stream = bytes.subarray(PuzzleHeaderSize);
    // The desktop's limits hold before the browser's decoder sees a byte.
    const verdict = withBytes(stream, (at, length) => core._player_check_jpeg(at, length));
    if (verdict === JpegVerdict.TooManyScans)
        return damaged(Texts.tooManyScans);
    if (verdict === JpegVerdict.TooMuchBesidesPicture)
        return damaged(Texts.tooMuchBesides);
    if (verdict === JpegVerdict.TooLarge)
        return fail(say(Texts.tooLarge, core._player_jpeg_width(), core._player_jpeg_height()));
    if (verdict !== JpegVerdict.Fine)
        return damaged(Texts.pictureUnreadable);
    let picture;
    try {
        picture = await createImageBitmap(new Blob([stream], { type: 'image/jpeg' }));
    } catch (e) {
        return damaged(Texts.pictureUnreadable);
    }
    if (puzzle)
        puzzle.picture.close();
    puzzle = { name, stream, picture, tangling: false, animating: false };
    $('message').hidden = true;
    $('intro').hidden = true;
    $('save-photo').hidden = true;
    board.hidden = false;
    const panel = panelSize();
    core._player_start(picture.width, picture.height, panel.width, panel.height);
    puzzle.effectIsSemi = core._player_semi_effect() !== 0;
    tangle();
}

// ---- The plain and concealed pictures at the cells' size, which core computes from the page's panel.

function panelSize() {
    const stage = $('stage'), ratio = window.devicePixelRatio || 1;
    return { width: Math.floor(stage.clientWidth * ratio), height: Math.floor(stage.clientHeight * ratio) };
}

// The decoded picture stretched to the plain picture by nearest neighbour, on the pixels core picks as the
// desktop picks them (the browser's own scaling would blend others). The rows are gathered first, then the
// columns, each run of neighbours in one copy, so that a large photograph is never read back whole.
function plainCanvas(width, height) {
    const p = puzzle;
    const at = core._player_sample_map(p.picture.width, p.picture.height);
    const map = core.HEAP32.slice(at >> 2, (at >> 2) + width + height);
    const gather = (count, offset, copy) => {
        for (let i = 0; i < count;) {
            let n = 1;
            while (i + n < count && map[offset + i + n] === map[offset + i] + n)
                ++n;
            copy(map[offset + i], i, n);
            i += n;
        }
    };
    const canvas = (w, h) => {
        const c = document.createElement('canvas');
        c.width = w;
        c.height = h;
        return c;
    };
    const rows = canvas(p.picture.width, height), plain = canvas(width, height);
    const rg = rows.getContext('2d'), pg = plain.getContext('2d', { willReadFrequently: true });
    rg.imageSmoothingEnabled = pg.imageSmoothingEnabled = false;
    const sw = p.picture.width;
    gather(height, width, (from, to, n) => rg.drawImage(p.picture, 0, from, sw, n, 0, to, sw, n));
    gather(width, 0, (from, to, n) => pg.drawImage(rows, from, 0, n, height, to, 0, n, height));
    return plain;
}

// The plain picture, made when first needed: with the paper effects the grid goes on screen without it.
function plainOf(p) {
    if (!p.plain)
        p.plain = plainCanvas(p.plainWidth, p.plainHeight);
    return p.plain;
}

function layout() {
    const p = puzzle;
    const ratio = window.devicePixelRatio || 1;
    p.cellWidth = core._player_cell_width();
    p.cellHeight = core._player_cell_height();
    p.totalColumns = core._player_total_columns();
    p.totalRows = core._player_total_rows();
    board.width = p.totalColumns * p.cellWidth;
    board.height = p.totalRows * p.cellHeight;
    board.style.width = board.width / ratio + 'px';
    board.style.height = board.height / ratio + 'px';

    const width = (p.plainWidth = core._player_columns() * p.cellWidth);
    const height = (p.plainHeight = core._player_rows() * p.cellHeight);
    p.plain = null;
    // Reading the plain picture back is the slowest step of an opening; an effect that never reads it is
    // spared it.
    const pixels = core._player_conceal_reads_picture()
        ? new Uint8Array(plainOf(p).getContext('2d').getImageData(0, 0, width, height).data.buffer)
        : new Uint8Array(width * height * 4);
    const concealed = withBytes(pixels, (at) => {
        withBytes(paper.pixels.data, (texture) =>
            core._player_conceal(at, texture, paper.pixels.width, paper.pixels.height));
        return core.HEAPU8.slice(at, at + pixels.length);
    });
    p.concealed = document.createElement('canvas');
    p.concealed.width = width;
    p.concealed.height = height;
    p.concealed.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(concealed.buffer), width, height), 0, 0);
    p.strip = document.createElement('canvas');
}
