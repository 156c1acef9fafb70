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
    const play = { selected: null, drag: 'idle', held: 'idle', anchor: { x: 0, y: 0 }, busy: false, pointer: null };
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

    function fail(text) {
        puzzle = null;
        stopClock();
        board.hidden = true;
        $('save-photo').hidden = true;
        $('status').textContent = '';
        $('message').textContent = text;
        $('message').hidden = false;
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

    const stampCanvas = document.createElement('canvas');
    function stampNumber(bits, width, height, stride, number) {
        stampCanvas.width = width;
        stampCanvas.height = height;
        const g = stampCanvas.getContext('2d', { willReadFrequently: true });
        const cell = new ImageData(width, height);
        let heap = core.HEAPU8;
        for (let y = 0; y < height; ++y)
            for (let x = 0, s = bits + y * stride, d = y * width * 4; x < width; ++x, s += 3, d += 4) {
                cell.data[d] = heap[s];
                cell.data[d + 1] = heap[s + 1];
                cell.data[d + 2] = heap[s + 2];
                cell.data[d + 3] = 255;
            }
        g.putImageData(cell, 0, 0);
        g.font = fitFont(g, width, height);
        g.fillStyle = '#000';
        g.textBaseline = 'alphabetic';
        const text = String(number);
        const m = metrics(g, text);
        g.fillText(text, Math.trunc((width - m.advance) / 2), Math.trunc((height - m.height) / 2) + m.ascent);
        const drawn = g.getImageData(0, 0, width, height).data;
        heap = core.HEAPU8;
        for (let y = 0; y < height; ++y)
            for (let x = 0, s = y * width * 4, d = bits + y * stride; x < width; ++x, s += 4, d += 3) {
                heap[d] = drawn[s];
                heap[d + 1] = drawn[s + 1];
                heap[d + 2] = drawn[s + 2];
            }
    }

    // ---- Opening a puzzle.

    async function openFile(file) {
        if (!/\.nbq$/i.test(file.name)) {
            fail(say(Texts.notPuzzle, file.name));
            return;
        }
        openBytes(new Uint8Array(await file.arrayBuffer()), file.name);
    }

    async function openBytes(bytes, name) {
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
        puzzle = {
            name,
            stream,
            picture,
            effect: core._player_effect(),
            semiEffect: core._player_semi_effect() !== 0,
            rows: core._player_rows(),
            columns: core._player_columns(),
            totalRows: core._player_total_rows(),
            totalColumns: core._player_total_columns(),
            solved: false,
            animating: false,
        };
        $('message').hidden = true;
        $('intro').hidden = true;
        $('save-photo').hidden = true;
        board.hidden = false;
        tangle();
    }

    // ---- Geometry, and the plain and concealed pictures at the board's scale.

    function layout() {
        const p = puzzle;
        const stage = $('stage');
        const ratio = window.devicePixelRatio || 1;
        const wide = stage.clientWidth * ratio, high = stage.clientHeight * ratio;
        // The largest scale at which the whole grid, empty lines included, fits the page.
        const scale = Math.min(
            wide / ((p.picture.width * p.totalColumns) / p.columns),
            high / ((p.picture.height * p.totalRows) / p.rows));
        p.cellWidth = Math.max(1, Math.floor((p.picture.width * scale) / p.columns));
        p.cellHeight = Math.max(1, Math.floor((p.picture.height * scale) / p.rows));
        p.threshold = Math.round(0.15 * Math.min(p.cellWidth, p.cellHeight));
        board.width = p.totalColumns * p.cellWidth;
        board.height = p.totalRows * p.cellHeight;
        board.style.width = board.width / ratio + 'px';
        board.style.height = board.height / ratio + 'px';

        const plainWidth = p.columns * p.cellWidth, plainHeight = p.rows * p.cellHeight;
        p.plain = document.createElement('canvas');
        p.plain.width = plainWidth;
        p.plain.height = plainHeight;
        const g = p.plain.getContext('2d', { willReadFrequently: true });
        g.imageSmoothingQuality = 'high';
        g.drawImage(p.picture, 0, 0, plainWidth, plainHeight);
        const pixels = g.getImageData(0, 0, plainWidth, plainHeight);
        const concealed = withBytes(pixels.data, (at) => {
            withBytes(paper.pixels.data, (texture) =>
                core._player_conceal(at, p.cellWidth, p.cellHeight, texture, paper.pixels.width, paper.pixels.height));
            return core.HEAPU8.slice(at, at + pixels.data.length);
        });
        p.concealed = document.createElement('canvas');
        p.concealed.width = plainWidth;
        p.concealed.height = plainHeight;
        p.concealed.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(concealed.buffer), plainWidth, plainHeight), 0, 0);
        p.strip = document.createElement('canvas');
    }

    // ---- Drawing the board.

    const inGrid = (c) => c && c.x >= 1 && c.y >= 1 && c.x <= puzzle.totalColumns && c.y <= puzzle.totalRows;
    const same = (a, b) => a && b && a.x === b.x && a.y === b.y;
    const unpack = (v) => (v ? { x: v >> 4, y: v & 15 } : null);
    const cellCentre = (c) => ({
        x: (c.x - 1) * puzzle.cellWidth + Math.trunc(puzzle.cellWidth / 2),
        y: (c.y - 1) * puzzle.cellHeight + Math.trunc(puzzle.cellHeight / 2),
    });

    function cellAt(x, y) {
        if (x < 0 || y < 0)
            return null;
        return { x: Math.trunc(x / puzzle.cellWidth) + 1, y: Math.trunc(y / puzzle.cellHeight) + 1 };
    }

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
        if (!inGrid(c))
            return;
        const w = p.cellWidth, h = p.cellHeight;
        const left = (c.x - 1) * w, top = (c.y - 1) * h;
        const home = unpack(core._player_piece_home(c.x, c.y));
        if (!home) {
            ctx.save();
            ctx.translate(left, top);
            ctx.fillStyle = paper.pattern;
            ctx.fillRect(0, 0, w, h);
            ctx.restore();
        } else {
            const plain = p.solved || (p.semiEffect && same(c, play.selected));
            ctx.drawImage(plain ? p.plain : p.concealed, (home.x - 1) * w, (home.y - 1) * h, w, h, left, top, w, h);
        }
        let frame = 0;
        if (advice)
            frame = 8;
        else if (same(c, play.selected))
            frame = play.drag === 'caught' ? 4 : 2;
        else if (!p.solved)
            frame = 1;
        if (frame > 0)
            drawFrame(left, top, w, h, frame);
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
        board.dataset.state = puzzle.solved ? 'solved' : puzzle.tangling ? 'tangling' : 'playing';
    }

    // The dragged line is copied once and then drawn shifted and wrapped for every pointer move.
    function captureStrip() {
        const p = puzzle, s = p.strip;
        const row = play.drag === 'row';
        s.width = row ? board.width : p.cellWidth;
        s.height = row ? p.cellHeight : board.height;
        const left = row ? 0 : (play.selected.x - 1) * p.cellWidth;
        const top = row ? (play.selected.y - 1) * p.cellHeight : 0;
        s.getContext('2d').drawImage(board, left, top, s.width, s.height, 0, 0, s.width, s.height);
    }

    function renderDrag(x, y) {
        const p = puzzle, s = p.strip;
        if (play.drag === 'row') {
            const w = s.width, top = (play.selected.y - 1) * p.cellHeight;
            const shift = (((x - play.anchor.x) % w) + w) % w;
            ctx.drawImage(s, 0, 0, w - shift, s.height, shift, top, w - shift, s.height);
            if (shift > 0)
                ctx.drawImage(s, w - shift, 0, shift, s.height, 0, top, shift, s.height);
        } else if (play.drag === 'column') {
            const h = s.height, left = (play.selected.x - 1) * p.cellWidth;
            const shift = (((y - play.anchor.y) % h) + h) % h;
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
        const run = !!puzzle && !puzzle.tangling && !puzzle.solved && !clock.finished
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

    function tangle() {
        const p = puzzle;
        p.solved = false;
        p.tangling = true;
        play.selected = null;
        play.drag = 'idle';
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

    const closed = () => !puzzle || puzzle.solved || puzzle.tangling || puzzle.animating;

    function moveCounted() {
        if (!clock.finished)
            ++clock.moves;
        showProgress();
        if (core._player_solved())
            victory();
    }

    function victory() {
        const p = puzzle;
        p.solved = true;
        stopClock();
        clock.finished = true;
        play.selected = null;
        play.drag = 'idle';
        renderAll();
        $('status').textContent = say(clock.moves === 1 ? Texts.solvedOne : Texts.solvedMany, clock.moves, timeText(clock.banked));
        $('save-photo').hidden = false;
    }

    function select(c) {
        if (!inGrid(c))
            return;
        if (!same(c, play.selected)) {
            deselect();
            play.selected = c;
            drawCell(c, false);
        }
        play.anchor = cellCentre(c);
    }

    function deselect() {
        const old = play.selected;
        play.selected = null;
        if (old)
            drawCell(old, false);
    }

    // Shows Move (already made on core's grid) sliding into place, the board still showing it unmade.
    function slide(move, counted) {
        const p = puzzle;
        select(move.from);
        play.drag = 'caught';
        drawCell(play.selected, false);
        play.drag = move.row ? 'row' : 'column';
        captureStrip();
        setAnimating(p, true);
        const start = play.anchor;
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
            setAnimating(p, false);
            play.drag = 'idle';
            play.selected = move.to;
            play.anchor = cellCentre(move.to);
            renderAll();
            counted();
        };
        next();
    }

    function shownMove(at) {
        if (!at)
            return null;
        const m = core.HEAP32.subarray(at >> 2, (at >> 2) + 6);
        return { from: { x: m[0], y: m[1] }, to: { x: m[2], y: m[3] }, row: m[4] === 0, steps: m[5] };
    }

    function undo() {
        const move = shownMove(core._player_undo());
        if (move)
            slide(move, moveCounted);
    }

    function redo() {
        const move = shownMove(core._player_redo());
        if (move)
            slide(move, moveCounted);
    }

    function turnSelected(row, steps) {
        const from = play.selected;
        const length = row ? puzzle.totalColumns : puzzle.totalRows;
        const end = ((((row ? from.x : from.y) - 1 + (steps % length) + length) % length) + 1);
        const to = row ? { x: end, y: from.y } : { x: from.x, y: end };
        if (core._player_move(from.x, from.y, to.x, to.y, row ? 0 : 1, steps))
            slide({ from, to, row, steps }, moveCounted);
    }

    function showAdvice(c) {
        if (!inGrid(c) || closed())
            return;
        const home = unpack(core._player_advice(c.x, c.y));
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

    // ---- Pointer play: catch, drag along a line, a move at every cell centre passed, release. Every rule of a
    // drag goes through dragTo, so that the rules can come from elsewhere without the events changing.

    function nearCellCentre(x, y) {
        const w = puzzle.cellWidth, h = puzzle.cellHeight;
        const dx = Math.abs((x % w) - Math.trunc(w / 2)), dy = Math.abs((y % h) - Math.trunc(h / 2));
        return Math.max(dx, dy) < puzzle.threshold;
    }

    // A dragged line is read along its own direction only, wrapped as it is drawn.
    function landing(x, y) {
        const p = puzzle;
        let t = cellAt(x, y);
        if (play.selected) {
            const w = p.totalColumns * p.cellWidth, h = p.totalRows * p.cellHeight;
            if (play.drag === 'row')
                t = { x: Math.trunc(((x % w) + w) % w / p.cellWidth) + 1, y: play.selected.y };
            else if (play.drag === 'column')
                t = { x: play.selected.x, y: Math.trunc(((y % h) + h) % h / p.cellHeight) + 1 };
        }
        return inGrid(t) ? t : play.selected;
    }

    // Settles the dragged line where the pointer let it go; true when that was a move.
    function commit(x, y) {
        const from = play.selected;
        const row = play.drag === 'row';
        const to = landing(x, y);
        if (!from || !to || same(from, to))
            return false;
        const length = row ? puzzle.totalColumns : puzzle.totalRows;
        // Taken back the short way round, whichever way the pointer went.
        let steps = ((((row ? to.x - from.x : to.y - from.y) % length) + length) % length);
        if (steps > length / 2)
            steps -= length;
        const moved = core._player_move(from.x, from.y, to.x, to.y, row ? 0 : 1, steps) !== 0;
        play.selected = to;
        play.anchor = cellCentre(to);
        return moved;
    }

    function hoverAt(x, y) {
        let c = cellAt(x, y);
        if (!inGrid(c))
            c = null;
        if (play.selected && !same(play.selected, c))
            deselect();
        if (!play.selected && c) {
            play.selected = c;
            drawCell(c, false);
        }
        if (play.selected)
            play.anchor = cellCentre(play.selected);
    }

    function catchCell(onLine) {
        if (!play.selected)
            return;
        const line = play.drag;
        play.held = onLine && (line === 'row' || line === 'column') ? line : 'idle';
        play.drag = 'caught';
        drawCell(play.selected, false);
    }

    function releaseCell() {
        play.drag = 'idle';
        play.held = 'idle';
        renderAll();
    }

    function tryStartDrag(x, y) {
        if (!play.selected)
            return false;
        const dx = Math.abs(x - play.anchor.x), dy = Math.abs(y - play.anchor.y);
        if (play.held !== 'idle') {
            // Only the distance along the held line counts: the hand's drift across it is no drag.
            if ((play.held === 'row' ? dx : dy) < puzzle.threshold)
                return false;
            play.drag = play.held;
        } else {
            if (Math.max(dx, dy) < puzzle.threshold)
                return false;
            play.drag = dx >= dy ? 'row' : 'column';
        }
        captureStrip();
        return true;
    }

    // The one place a pointer's position becomes play: 'down', 'move' or 'up' at X, Y in board pixels.
    function dragTo(phase, x, y) {
        if (closed())
            return;
        if (phase === 'down') {
            if (play.drag === 'idle') {
                hoverAt(x, y);
                catchCell(false);
            }
        } else if (phase === 'move') {
            if (play.drag === 'idle') {
                hoverAt(x, y);
            } else if (play.drag === 'caught') {
                if (tryStartDrag(x, y))
                    renderDrag(x, y);
            } else {
                const row = play.drag === 'row';
                const lineX = row ? x : play.anchor.x, lineY = row ? play.anchor.y : y;
                if (nearCellCentre(lineX, lineY)) {
                    const moved = commit(lineX, lineY);
                    renderAll();
                    catchCell(true);
                    if (moved)
                        moveCounted();
                } else {
                    renderDrag(x, y);
                }
            }
        } else if (phase === 'up') {
            const was = play.drag;
            let moved = false;
            if (was === 'row' || was === 'column')
                moved = commit(x, y);
            if (was !== 'idle')
                releaseCell();
            if (moved)
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
            showAdvice(cellAt(at.x, at.y));
            return;
        }
        if (e.button !== 0 || play.pointer !== null)
            return;
        play.pointer = e.pointerId;
        board.setPointerCapture(e.pointerId);
        dragTo('down', at.x, at.y);
        // A finger has no right button: resting on a cell asks for the advice instead.
        if (e.pointerType !== 'mouse') {
            const start = at;
            play.longPress = setTimeout(() => {
                play.longPress = 0;
                if (play.drag !== 'caught')
                    return;
                releaseCell();
                play.pointer = null;
                showAdvice(cellAt(start.x, start.y));
            }, LongPressMs);
        }
    });
    board.addEventListener('pointermove', (e) => {
        if (!puzzle || (play.pointer !== null && e.pointerId !== play.pointer))
            return;
        if (play.pointer === null && e.pointerType !== 'mouse')
            return;
        const at = boardPoint(e);
        if (play.drag === 'row' || play.drag === 'column')
            clearTimeout(play.longPress);
        dragTo('move', at.x, at.y);
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
        if (puzzle && e.pointerType === 'mouse' && play.drag === 'idle' && !closed())
            deselect();
    });
    board.addEventListener('contextmenu', (e) => e.preventDefault());

    // ---- Keys, as on the desktop's picture.

    document.addEventListener('keydown', (e) => {
        if (!puzzle || e.altKey || e.metaKey)
            return;
        const ready = !closed() && play.drag === 'idle';
        const key = e.key.length === 1 ? e.key.toLowerCase() : e.key;
        if (e.ctrlKey) {
            if (key === 'z' || key === 'y') {
                e.preventDefault();
                if (ready && (key === 'y' || e.shiftKey))
                    redo();
                else if (ready)
                    undo();
            }
            return;
        }
        const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] }[e.key];
        if (!steps && e.key !== ' ' && e.key !== 'ContextMenu')
            return;
        e.preventDefault();
        if (!ready)
            return;
        const hadSelection = inGrid(play.selected);
        if (!hadSelection)
            select({ x: 1, y: 1 });
        const c = play.selected;
        if (!steps) {
            showAdvice(c);
        } else if (e.shiftKey) {
            turnSelected(steps[1] === 0, steps[0] + steps[1]);
        } else if (hadSelection) {
            // The selection wraps around the edges, as the lines do.
            const columns = puzzle.totalColumns, rows = puzzle.totalRows;
            select({ x: ((c.x - 1 + steps[0] + columns) % columns) + 1, y: ((c.y - 1 + steps[1] + rows) % rows) + 1 });
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
            if (puzzle.tangling || puzzle.animating || play.drag !== 'idle') {
                resizeTimer = setTimeout(refit, 100);
                return;
            }
            layout();
            if (play.selected)
                play.anchor = cellCentre(play.selected);
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
