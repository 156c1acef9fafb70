// The player's page: reads the chosen, dropped or embedded puzzle, draws the cells core concealed, and turns
// pointer and key input into core's moves at the desktop's paces.
'use strict';

(() => {
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

    // ---- Drawing the board: what core says lies where, at the cells' size.

    const DragState = { Idle: 0, Caught: 1, Row: 2, Column: 3 };
    const Pointer = { Nothing: 0, Hovered: 1, LineChosen: 2, Shifted: 3, SnappedInPlace: 4, SnappedMoved: 5 };
    const unpack = (v) => (v ? { x: v >> 4, y: v & 15 } : null);
    const same = (a, b) => a && b && a.x === b.x && a.y === b.y;
    const selected = () => unpack(core._player_selected());
    const dragState = () => core._player_drag_state();
    const solved = () => core._player_solved() !== 0;

    // Inverts a frame of Thickness pixels inside the cell; the corners belong to the side bands only, so every
    // border pixel is inverted once, as on the desktop.
    function drawFrame(left, top, w, h, n) {
        ctx.save();
        ctx.globalCompositeOperation = 'difference';
        ctx.fillStyle = '#fff';
        ctx.fillRect(left + n, top, w - 2 * n, n);
        ctx.fillRect(left + n, top + h - n, w - 2 * n, n);
        ctx.fillRect(left, top, n, h);
        ctx.fillRect(left + w - n, top, n, h);
        ctx.restore();
    }

    function drawCell(c, advice) {
        const p = puzzle;
        if (!c || c.x < 1 || c.y < 1 || c.x > p.totalColumns || c.y > p.totalRows)
            return;
        const w = p.cellWidth, h = p.cellHeight;
        const left = (c.x - 1) * w, top = (c.y - 1) * h;
        const home = unpack(core._player_piece_home(c.x, c.y));
        const isSelected = same(c, selected());
        if (!home) {
            ctx.save();
            ctx.translate(left, top);
            ctx.fillStyle = paper.pattern;
            ctx.fillRect(0, 0, w, h);
            ctx.restore();
        } else {
            const plain = solved() || (p.effectIsSemi && isSelected);
            ctx.drawImage(plain ? plainOf(p) : p.concealed, (home.x - 1) * w, (home.y - 1) * h, w, h, left, top, w, h);
        }
        let frame = 0;
        if (advice)
            frame = 8;
        else if (isSelected)
            frame = dragState() === DragState.Idle ? 2 : 4;
        else if (!solved())
            frame = 1;
        if (frame > 0)
            drawFrame(left, top, w, h, frame);
    }

    // Where the selection is, for assistive and automated readers alike.
    function noteSelection() {
        const s = selected();
        board.dataset.selected = s ? s.x + ':' + s.y : '';
    }

    function redrawSelection(before) {
        const after = selected();
        if (!same(before, after)) {
            drawCell(before, false);
            drawCell(after, false);
        }
        noteSelection();
    }

    function renderAll() {
        for (let x = 1; x <= puzzle.totalColumns; ++x)
            for (let y = 1; y <= puzzle.totalRows; ++y)
                drawCell({ x, y }, false);
        const cells = [];
        for (let y = 1; y <= puzzle.totalRows; ++y)
            for (let x = 1; x <= puzzle.totalColumns; ++x) {
                const home = unpack(core._player_piece_home(x, y));
                cells.push(home ? home.x + ':' + home.y : '-');
            }
        // Where every piece lies, for assistive and automated readers alike.
        board.dataset.arrangement = puzzle.totalColumns + 'x' + puzzle.totalRows + ' ' + cells.join(' ');
        board.dataset.state = solved() ? 'solved' : puzzle.tangling ? 'tangling' : 'playing';
        noteSelection();
    }

    // The dragged line is copied once and then drawn shifted and wrapped for every pointer move.
    function captureStrip() {
        const p = puzzle, s = p.strip, c = selected();
        const row = dragState() === DragState.Row;
        s.width = row ? board.width : p.cellWidth;
        s.height = row ? p.cellHeight : board.height;
        const left = row ? 0 : (c.x - 1) * p.cellWidth;
        const top = row ? (c.y - 1) * p.cellHeight : 0;
        s.getContext('2d').drawImage(board, left, top, s.width, s.height, 0, 0, s.width, s.height);
    }

    function renderDrag(x, y) {
        const p = puzzle, s = p.strip, c = selected(), state = dragState();
        if (state === DragState.Row) {
            const w = s.width, top = (c.y - 1) * p.cellHeight;
            const shift = core._player_shift_along(x, y, w);
            ctx.drawImage(s, 0, 0, w - shift, s.height, shift, top, w - shift, s.height);
            if (shift > 0)
                ctx.drawImage(s, w - shift, 0, shift, s.height, 0, top, shift, s.height);
        } else if (state === DragState.Column) {
            const h = s.height, left = (c.x - 1) * p.cellWidth;
            const shift = core._player_shift_along(x, y, h);
            ctx.drawImage(s, 0, 0, s.width, h - shift, left, shift, s.width, h - shift);
            if (shift > 0)
                ctx.drawImage(s, 0, h - shift, s.width, shift, left, 0, s.width, shift);
        }
    }

    // ---- Time and moves, as the desktop counts them.

    function elapsed() {
        return clock.banked + (clock.running ? performance.now() - clock.since : 0);
    }

    function timeText(ms) {
        const seconds = Math.floor(ms / 1000);
        const h = Math.floor(seconds / 3600), m = Math.floor(seconds / 60) % 60, s = seconds % 60;
        const two = (n) => String(n).padStart(2, '0');
        return h > 0 ? h + ':' + two(m) + ':' + two(s) : m + ':' + two(s);
    }

    function showProgress() {
        if (puzzle && !clock.finished)
            $('status').textContent = say(Texts.progress, clock.moves, timeText(elapsed()));
    }

    function restartClock() {
        stopClock();
        clock.moves = 0;
        clock.banked = 0;
        clock.finished = false;
        followClock();
    }

    // The time runs only while a puzzle is played in a page that is in front.
    function followClock() {
        const run = !!puzzle && !puzzle.tangling && !solved() && !clock.finished
                    && document.visibilityState === 'visible' && document.hasFocus();
        if (run && !clock.running) {
            clock.since = performance.now();
            clock.running = true;
            clock.timer = setInterval(showProgress, 250);
        } else if (!run && clock.running) {
            stopClock();
        }
        showProgress();
    }

    function stopClock() {
        if (clock.running)
            clock.banked += performance.now() - clock.since;
        clock.running = false;
        clearInterval(clock.timer);
    }

    // ---- The game's course: tangle, moves, victory.
    // ---- The game's course: tangle, moves, victory.

    function tangle() {
        const p = puzzle;
        p.tangling = true;
        layout();
        const steps = core._player_tangle();
        restartClock();
        const step = () => {
            if (puzzle !== p)
                return;
            if (!core._player_tangle_step()) {
                p.tangling = false;
                renderAll();
                followClock();
                board.focus();
                return;
            }
            renderAll();
            restartClock();
            setTimeout(step, TangleStepMs);
        };
        if (steps === 0)
            p.tangling = false;
        renderAll();
        // The frame that first shows the concealed grid, for the speed bench; the tangle's paced steps follow.
        requestAnimationFrame(() => {
            performance.mark('quorra-grid-shown');
            // Made while the tangle is shown, so that no later move waits for it.
            setTimeout(() => puzzle === p && plainOf(p));
        });
        step();
    }

    // While a line slides or the advice shows, the board takes no move; the page says so for automation.
    function setAnimating(p, on) {
        p.animating = on;
        if (on)
            board.dataset.busy = 'true';
        else
            delete board.dataset.busy;
    }

    const closed = () => !puzzle || solved() || puzzle.tangling || puzzle.animating;

    function moveCounted() {
        if (!clock.finished)
            ++clock.moves;
        showProgress();
        if (solved())
            victory();
    }

    function victory() {
        stopClock();
        clock.finished = true;
        core._player_deselect();
        renderAll();
        $('status').textContent = say(clock.moves === 1 ? Texts.solvedOne : Texts.solvedMany, clock.moves, timeText(clock.banked));
        $('save-photo').hidden = false;
    }

    // Shows the move core holds sliding (its cell already caught on its line), then lets core make it.
    function slide(at) {
        if (!at)
            return;
        const m = core.HEAP32.subarray(at >> 2, (at >> 2) + 6);
        const move = { from: { x: m[0], y: m[1] }, row: m[4] === 0, steps: m[5] };
        const p = puzzle;
        renderAll();
        captureStrip();
        setAnimating(p, true);
        const start = { x: core._player_anchor_x(), y: core._player_anchor_y() };
        const distance = move.row ? { x: move.steps * p.cellWidth, y: 0 } : { x: 0, y: move.steps * p.cellHeight };
        let frame = 1;
        const next = () => {
            if (puzzle !== p)
                return;
            if (frame <= SlideFrames) {
                renderDrag(start.x + Math.trunc((distance.x * frame) / SlideFrames),
                           start.y + Math.trunc((distance.y * frame) / SlideFrames));
                ++frame;
                setTimeout(next, SlideFrameMs);
                return;
            }
            core._player_end_slide();
            setAnimating(p, false);
            renderAll();
            moveCounted();
        };
        next();
    }

    function showAdvice(x, y) {
        if (closed())
            return;
        const home = unpack(core._player_advice(x, y));
        if (!home)
            return;
        drawCell(home, true);
        const p = puzzle;
        setAnimating(p, true);
        setTimeout(() => {
            if (puzzle !== p)
                return;
            setAnimating(p, false);
            renderAll();
        }, AdviceMs);
    }

    // ---- Pointer play: every rule of a drag is core's; the page draws what each pointer event came to.

    function dragTo(phase, x, y) {
        if (closed())
            return;
        const before = selected();
        if (phase === 'down') {
            core._player_press(x, y);
            redrawSelection(before);
            drawCell(selected(), false);
        } else if (phase === 'move') {
            const outcome = core._player_pointer_move(x, y);
            if (outcome === Pointer.Hovered) {
                redrawSelection(before);
            } else if (outcome === Pointer.LineChosen) {
                captureStrip();
                renderDrag(x, y);
            } else if (outcome === Pointer.Shifted) {
                renderDrag(x, y);
            } else if (outcome === Pointer.SnappedInPlace || outcome === Pointer.SnappedMoved) {
                renderAll();
                if (outcome === Pointer.SnappedMoved)
                    moveCounted();
            }
        } else if (phase === 'up') {
            const released = core._player_release(x, y);
            if (released > 0)
                renderAll();
            if (released === 2)
                moveCounted();
        }
    }

    function boardPoint(e) {
        const r = board.getBoundingClientRect();
        return { x: Math.round(((e.clientX - r.left) * board.width) / r.width),
                 y: Math.round(((e.clientY - r.top) * board.height) / r.height) };
    }

    board.addEventListener('pointerdown', (e) => {
        if (!puzzle)
            return;
        const at = boardPoint(e);
        board.focus();
        e.preventDefault();
        if (e.button === 2) {
            showAdvice(at.x, at.y);
            return;
        }
        if (e.button !== 0 || play.pointer !== null)
            return;
        play.pointer = e.pointerId;
        board.setPointerCapture(e.pointerId);
        dragTo('down', at.x, at.y);
        // A finger has no right button: resting on a cell asks for the advice instead.
        if (e.pointerType !== 'mouse') {
            play.longPress = setTimeout(() => {
                play.longPress = 0;
                if (!puzzle || dragState() !== DragState.Caught)
                    return;
                core._player_let_go();
                renderAll();
                play.pointer = null;
                showAdvice(at.x, at.y);
            }, LongPressMs);
        }
    });
    board.addEventListener('pointermove', (e) => {
        if (!puzzle || (play.pointer !== null && e.pointerId !== play.pointer))
            return;
        if (play.pointer === null && e.pointerType !== 'mouse')
            return;
        const at = boardPoint(e);
        dragTo('move', at.x, at.y);
        if (dragState() === DragState.Row || dragState() === DragState.Column)
            clearTimeout(play.longPress);
    });
    const pointerEnds = (e) => {
        if (e.pointerId !== play.pointer)
            return;
        clearTimeout(play.longPress);
        play.pointer = null;
        const at = boardPoint(e);
        if (puzzle)
            dragTo('up', at.x, at.y);
    };
    board.addEventListener('pointerup', pointerEnds);
    board.addEventListener('pointercancel', pointerEnds);
    board.addEventListener('pointerleave', (e) => {
        // A caught cell keeps its selection: the drag that holds it still needs it.
        if (puzzle && e.pointerType === 'mouse' && dragState() === DragState.Idle && !closed()) {
            const before = selected();
            core._player_deselect();
            redrawSelection(before);
        }
    });
    board.addEventListener('contextmenu', (e) => e.preventDefault());
    board.addEventListener('focus', () => {
        if (closed() || dragState() !== DragState.Idle)
            return;
        const before = selected();
        core._player_focus();
        redrawSelection(before);
    });

    // ---- Keys, as on the desktop's picture.

    document.addEventListener('keydown', (e) => {
        if (!puzzle || e.altKey || e.metaKey)
            return;
        const ready = !closed() && dragState() === DragState.Idle;
        const key = e.key.length === 1 ? e.key.toLowerCase() : e.key;
        if (e.ctrlKey) {
            if (key === 'z' || key === 'y') {
                e.preventDefault();
                if (ready && (key === 'y' || e.shiftKey))
                    slide(core._player_redo());
                else if (ready)
                    slide(core._player_undo());
            }
            return;
        }
        const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] }[e.key];
        if (!steps && e.key !== ' ' && e.key !== 'ContextMenu')
            return;
        e.preventDefault();
        if (!ready)
            return;
        const before = selected();
        // Shift and the advice key work on a cell: without a selection, on the first.
        if (!steps || e.shiftKey)
            core._player_focus();
        if (!steps) {
            redrawSelection(before);
            showAdvice(core._player_anchor_x(), core._player_anchor_y());
        } else if (e.shiftKey) {
            slide(core._player_turn(steps[1] === 0 ? 0 : 1, steps[0] + steps[1]));
        } else {
            core._player_step_selection(steps[0], steps[1]);
            redrawSelection(before);
        }
    });

    // ---- The page around the board.

    function savePhotograph() {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([puzzle.stream], { type: 'image/jpeg' }));
        link.download = puzzle.name.replace(/\.nbq$/i, '') + '.jpg';
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), 1000);
    }

    let resizeTimer = 0;
    window.addEventListener('resize', () => {
        clearTimeout(resizeTimer);
        resizeTimer = setTimeout(function refit() {
            if (!puzzle)
                return;
            if (puzzle.tangling || puzzle.animating || dragState() !== DragState.Idle) {
                resizeTimer = setTimeout(refit, 100);
                return;
            }
            const panel = panelSize();
            if (core._player_fit(panel.width, panel.height))
                layout();
            renderAll();
        }, 150);
    });
    window.addEventListener('focus', followClock);
    window.addEventListener('blur', followClock);
    document.addEventListener('visibilitychange', followClock);

    $('file-choice').addEventListener('change', (e) => {
        if (e.target.files.length > 0)
            openFile(e.target.files[0]);
        e.target.value = '';
    });
    $('save-photo').addEventListener('click', savePhotograph);
    $('message').addEventListener('click', () => ($('message').hidden = true));
    const stage = $('stage');
    stage.addEventListener('dragover', (e) => {
        e.preventDefault();
        stage.classList.add('dropping');
    });
    stage.addEventListener('dragleave', () => stage.classList.remove('dropping'));
    stage.addEventListener('drop', (e) => {
        e.preventDefault();
        stage.classList.remove('dropping');
        if (e.dataTransfer.files.length > 0)
            openFile(e.dataTransfer.files[0]);
    });

    async function start() {
        core = await createPlayerCore({ stampNumber, wasmBinary: bytesFromBase64($('core-bytes').textContent.trim()) });
        const texture = await createImageBitmap(new Blob([bytesFromBase64($('texture-bytes').textContent.trim())],
                                                         { type: 'image/png' }));
        const scratch = document.createElement('canvas');
        scratch.width = texture.width;
        scratch.height = texture.height;
        const g = scratch.getContext('2d', { willReadFrequently: true });
        g.drawImage(texture, 0, 0);
        paper = { pixels: g.getImageData(0, 0, texture.width, texture.height), pattern: ctx.createPattern(texture, 'repeat') };
        const embedded = $('puzzle-bytes').textContent.trim();
        document.body.dataset.ready = 'true';
        if (embedded)
            openBytes(bytesFromBase64(embedded), document.title.replace(/^Quorra: /, '') + '.nbq');
    }
    start();
})();
