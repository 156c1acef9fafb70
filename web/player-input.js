// SPDX-License-Identifier: GPL-3.0-or-later
// The player's page, last script: pointer and key input turned into core's moves, the page around the board,
// and the start.

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
