// SPDX-License-Identifier: GPL-3.0-or-later
// The player's page, second script: drawing the board, the clock, and the game's course (tangle, slides,
// advice, victory) at the desktop's paces.

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
