// SPDX-License-Identifier: GPL-3.0-or-later
// The document flows: making, opening, saving, exporting and mailing puzzles, and files dropped on the window.
#include "Documents.h"

#include "CommandGuard.h"
#include "Dialogs.h"
#include "LogCategory.h"
#include "MailSender.h"
#include "PictureLayout.h"
#include "PictureLoader.h"
#include "PlayController.h"
#include "ProgramInfo.h"
#include "Puzzle.h"
#include "PuzzleDocument.h"
#include "UserError.h"
#include "WebPageExport.h"
#include "WindowTexts.h"
#include "WorkingBitmap.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QTimer>

namespace quorra {

Documents::Documents(Dialogs &dialogs, CommandGuard &guard, PictureLayout &layout, PlayController &play,
                     QImage *display, Hooks hooks, QObject *parent)
    : QObject(parent),
      m_dialogs(dialogs),
      m_guard(guard),
      m_layout(layout),
      m_play(play),
      m_display(display),
      m_hooks(std::move(hooks)),
      m_mail(new MailSender(this)),
      m_texture(concealmentTexture()),
      m_animator(guard)
{
    connect(&m_animator, &PuzzleAnimator::finished, this, &Documents::windowIdle);
    connect(&m_animator, &PuzzleAnimator::finished, this, &Documents::stateChanged);
    // Nothing could take the message: the person is told where the file is, to attach it by hand.
    connect(m_mail, &MailSender::failed, this,
            [this](const QString &message) { m_dialogs.message(QuorraProgramName, message, MessageIcon::Warning); });
}

Documents::~Documents()
{
    // The window's commands go with it; only the cursor is the whole screen's.
    if (m_load.isRunning())
        QGuiApplication::restoreOverrideCursor();
}

QString Documents::title() const
{
    return m_document ? QuorraProgramName + QLatin1String(WindowTexts::TitleSeparator) + m_document->title()
                      : QuorraProgramName;
}

void Documents::announceTitle()
{
    emit titleChanged(title());
}

std::unique_ptr<PuzzleDocument> Documents::createDocument()
{
    // Until it is adopted the new puzzle neither draws on screen nor lets events run.
    return std::make_unique<PuzzleDocument>(&m_candidateDisplay, &m_texture);
}

void Documents::afterAnimation(std::function<void()> then)
{
    if (!m_animator.isRunning()) {
        then();
        return;
    }
    connect(
        &m_animator, &PuzzleAnimator::finished, this, [this, then = std::move(then)] { m_guard.run(then); },
        Qt::SingleShotConnection);
}

void Documents::adopt(std::unique_ptr<PuzzleDocument> newDocument)
{
    // What the puzzle on screen was showing ends with it.
    leave();
    m_document = std::move(newDocument);
    m_candidateDisplay = QImage();
    Puzzle &onScreen = m_document->puzzle();
    onScreen.setDisplay(m_display);
    onScreen.setAnimatedByOwner(true);
    onScreen.setPaintsMovingLine(true);
    // The puzzle goes with its document, and its connections with it.
    connect(&onScreen, &Puzzle::animationStarted, this, [this] { m_animator.start(puzzle()); });
    connect(&onScreen, &Puzzle::displayChanged, this, [this](const QRect &rect) {
        m_layout.bitmapChanged(rect);
        emit displayChanged();
    });
    connect(&onScreen, &Puzzle::tangleStepped, this, [this] {
        if (m_hooks.tangleStep)
            m_hooks.tangleStep();
    });
    connect(&onScreen, &Puzzle::slideStepped, this, [this] {
        if (m_hooks.slideStep)
            m_hooks.slideStep();
    });
    connect(&onScreen, &Puzzle::stateChanged, this, &Documents::stateChanged);
    emit puzzleReplaced();
    emit stateChanged();
}

void Documents::leave()
{
    m_animator.finish();
    m_play.dropHold();
    if (m_document && m_hooks.leaving)
        m_hooks.leaving();
}

void Documents::dropPuzzle()
{
    leave();
    m_document.reset();
    *m_display = QImage();
    m_layout.sizeToBitmap();
    announceTitle();
    emit stateChanged();
}

void Documents::setUp(PuzzleDocument &document)
{
    const PuzzleSetup setup = m_hooks.setup();
    document.setUp(setup.effect, setup.split.rows, setup.split.columns, setup.semiEffect, setup.emptyRow,
                   setup.emptyColumn);
}

bool Documents::confirmSave()
{
    if (!m_document || !m_document->isModified())
        return true;
    switch (m_dialogs.confirm(WindowTexts::text(WindowTexts::ConfirmCaption),
                              WindowTexts::text(WindowTexts::SaveCurrentPuzzle))) {
    case ConfirmAnswer::Yes: {
        // The person asked to keep this work: when it was not saved after all, nothing may discard it.
        bool saved = false;
        m_guard.reported([this, &saved] { saved = saveAs(); });
        return saved;
    }
    case ConfirmAnswer::No:
        return true;
    case ConfirmAnswer::Cancel:
        break;
    }
    return false;
}

void Documents::newPuzzle()
{
    const QString path = m_dialogs.openPicture();
    if (!path.isEmpty())
        newPuzzleFromPicture(path);
}

template <typename T>
void Documents::load(std::function<T()> work, std::function<void(WorkerOutcome<T>)> done)
{
    // The decode may take seconds: the window keeps answering meanwhile, with nothing to start but nothing to
    // pull the puzzle away from under the outcome either.
    m_hooks.suspend();
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    m_load.start<T>(this, std::move(work), [this, done = std::move(done)](WorkerOutcome<T> outcome) {
        QGuiApplication::restoreOverrideCursor();
        m_hooks.resume();
        m_guard.run([&] { done(std::move(outcome)); });
        // A load that failed may leave everything as it was, and still the commands come back on.
        emit stateChanged();
        // An opened puzzle is tangled on screen first.
        afterAnimation([this] { emit loadFinished(); });
    });
}

void Documents::newPuzzleFromPicture(const QString &path)
{
    if (m_load.isRunning())
        return;
    // A photograph is decoded only as large as the view shows it, and set up at that scale.
    const QSize panel = m_layout.panelPixels();
    const bool autoFit = m_hooks.autoFit();
    // The working bitmaps of a new puzzle are at most the panel's size: the plain, the concealed and the display
    // at three bytes a pixel.
    DecodeLimits limits;
    limits.maxBytes = MaxPictureMemory - 9LL * panel.width() * panel.height();
    load<std::optional<SourcePicture>>([path, panel, limits] { return readSourcePicture(path, panel, limits); },
                                       [this, path, panel, autoFit](WorkerOutcome<std::optional<SourcePicture>> read) {
                                           finishNew(path, panel, autoFit, std::move(read));
                                       });
}

void Documents::finishNew(const QString &path, QSize panel, bool autoFit,
                          WorkerOutcome<std::optional<SourcePicture>> read)
{
    // The picture is read before anything is given up, so a file that yields none costs nothing.
    std::unique_ptr<PuzzleDocument> newDocument = createDocument();
    newDocument->puzzle().setOpenPanel(panel, autoFit, m_layout.pixelRatio());
    const QString shown = QDir::toNativeSeparators(path);
    try {
        newDocument->adoptPicture(path, read.take());
    } catch (const UserError &e) {
        throw UserError(WindowTexts::text(WindowTexts::PictureUnreadable).arg(shown, e.message()));
    } catch (const std::bad_alloc &) {
        throw UserError(WindowTexts::text(WindowTexts::PictureTooLarge).arg(shown));
    }
    const QImage &source = newDocument->puzzle().source();
    if (source.isNull() || source.width() <= 0 || source.height() <= 0)
        throw UserError(WindowTexts::text(WindowTexts::NotAPicture).arg(shown));

    if (!confirmSave())
        return;
    // A puzzle saved on the way is tangled on screen before this one takes its place.
    m_waiting = std::move(newDocument);
    afterAnimation([this] { showNew(std::move(m_waiting)); });
}

void Documents::showNew(std::unique_ptr<PuzzleDocument> newDocument)
{
    if (!newDocument)
        return;
    adopt(std::move(newDocument));
    try {
        setUp(*m_document);
    } catch (const std::bad_alloc &) {
        // A puzzle that was never set up has no grid to fit; the window goes back to having none.
        dropPuzzle();
        throw UserError(notEnoughMemoryText());
    } catch (...) {
        dropPuzzle();
        throw;
    }
    m_layout.refit();
    announceTitle();
    m_play.detachMouse();
}

void Documents::resplit()
{
    if (!m_document)
        return;
    setUp(*m_document);
    m_layout.refit();
}

void Documents::open()
{
    const QString path = m_dialogs.openPuzzle();
    if (!path.isEmpty())
        openPuzzleFile(path);
}

void Documents::openPuzzleFile(const QString &path)
{
    if (m_load.isRunning() || !confirmSave())
        return;
    // A puzzle saved on the way is tangled on screen before the file is read.
    afterAnimation([this, path] { readPuzzleFile(path); });
}

void Documents::readPuzzleFile(const QString &path)
{
    if (m_load.isRunning())
        return;
    // The opening tangle renders at the scale the view is about to choose, not at the picture's own size.
    const QSize panel = m_layout.panelPixels();
    const bool autoFit = m_hooks.autoFit();
    load<PuzzleDocument::Reading>([path, panel] { return PuzzleDocument::read(path, panel); },
                                  [this, path, panel, autoFit](WorkerOutcome<PuzzleDocument::Reading> read) {
                                      finishOpen(path, panel, autoFit, std::move(read));
                                  });
}

void Documents::finishOpen(const QString &path, QSize panel, bool autoFit, WorkerOutcome<PuzzleDocument::Reading> read)
{
    // A damaged file raises here, and the candidate goes with the error: the puzzle on screen stays.
    std::unique_ptr<PuzzleDocument> newDocument = createDocument();
    newDocument->puzzle().setOpenPanel(panel, autoFit, m_layout.pixelRatio());
    PuzzleDocument::Opening result;
    try {
        result = newDocument->adopt(read.take(), path);
    } catch (const std::bad_alloc &) {
        throw UserError(notEnoughMemoryText());
    }
    if (result.result == LoadResult::NoFile)
        return;
    if (result.result == LoadResult::TooNew) {
        m_dialogs.message(WindowTexts::text(WindowTexts::InformationCaption),
                          WindowTexts::text(WindowTexts::PuzzleTooNew).arg(result.version), MessageIcon::Stop);
        m_dialogs.showAbout();
        return;
    }
    // Read and checked whole, the puzzle takes the place of the one on screen and is tangled in view, step by
    // step as the Tangle command shows it, with the commands off meanwhile.
    leave();
    std::unique_ptr<PuzzleDocument> previous = std::move(m_document);
    adopt(std::move(newDocument));
    bool continued = false;
    try {
        m_layout.refit();
        announceTitle();
        // A game left in the middle goes on where it was; only a puzzle with none is tangled afresh.
        continued = m_hooks.continuing && m_hooks.continuing();
        if (!continued) {
            m_hooks.suspend();
            auto resume = qScopeGuard([this] { m_hooks.resume(); });
            puzzle()->tangle();
            resume.dismiss();
        }
    } catch (const std::bad_alloc &) {
        bringBack(std::move(previous));
        throw UserError(notEnoughMemoryText());
    } catch (...) {
        bringBack(std::move(previous));
        throw;
    }
    if (continued) {
        m_layout.place();
        m_layout.repaint();
        m_play.attachMouse();
        return;
    }
    afterAnimation([this] {
        m_hooks.resume();
        m_layout.place();
        m_play.attachMouse();
    });
}

void Documents::bringBack(std::unique_ptr<PuzzleDocument> previous)
{
    dropPuzzle();
    if (!previous)
        return;
    // The picture on screen is the other one's by now; this puzzle draws it anew, as it was.
    m_document = std::move(previous);
    try {
        puzzle()->rebuild();
    } catch (...) {
        // The person is told of the failure that brought this puzzle back; this one would only repeat it.
        qCWarning(lcQuorra, "The puzzle shown before could not be drawn again and is closed (%s)",
                  qUtf8Printable(handledErrorText()));
        dropPuzzle();
        return;
    }
    m_layout.refit();
    announceTitle();
}

bool Documents::saveAs()
{
    if (!m_document)
        return false;
    const QString path = m_dialogs.savePuzzle();
    if (path.isEmpty())
        return false;
    // The file is not deleted first: the writer replaces it only once the new one is complete, so a failed
    // save leaves the old file as it was. A saved puzzle is played anew: it is tangled on screen, with the
    // commands off as for Tangle.
    m_hooks.suspend();
    {
        auto resume = qScopeGuard([this] { m_hooks.resume(); });
        m_document->save(path);
        // Saved and not modified: Send by E-Mail follows even if the tangle fails; the title names the file.
        emit stateChanged();
        announceTitle();
        puzzle()->tangle();
        resume.dismiss();
    }
    afterAnimation([this] {
        m_hooks.resume();
        m_play.attachMouse();
    });
    return true;
}

void Documents::saveImageAs()
{
    if (!m_document)
        return;
    const QString path = m_dialogs.saveImage();
    if (path.isEmpty())
        return;
    m_document->exportPicture(path);
}

void Documents::sendByEMail()
{
    // The mail carries the file as it is on disk, so only a puzzle that matches its file is sent.
    if (!m_document || m_document->isModified() || m_document->fileName().isEmpty())
        return;
    m_mail->sendMailWithAttachments({}, MailSender::invitationSubject(), MailSender::invitationBody(QuorraWebAddress),
                                    {m_document->fileName()});
}

void Documents::saveAsWebPage()
{
    if (!m_document || m_document->isModified() || m_document->fileName().isEmpty())
        return;
    const QString path = m_dialogs.saveWebPage();
    if (path.isEmpty())
        return;
    WebPageExport::write(m_document->fileName(), path);
}

void Documents::takeDrop(const QString &path)
{
    // The program the file came from waits for the drop to end; questions and dialogs come after it.
    QTimer::singleShot(0, this, [this, path] { runDrop(path); });
}

void Documents::runDrop(const QString &path)
{
    // The file waits until nothing is under way (a command, a tangle or slide on screen, the commands off), and
    // is woken by its end, never by polling. Queued, so that it never runs inside whatever announced the end.
    if (m_guard.isRunning() || m_animator.isRunning() || m_hooks.suspended()) {
        connect(
            this, &Documents::windowIdle, this, [this, path] { runDrop(path); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        return;
    }
    m_guard.run([this, &path] { dropFile(path); });
}

void Documents::dropFile(const QString &path)
{
    if (m_hooks.suspended())
        return;
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("nbq")) {
        openPuzzleFile(path);
        return;
    }
    if (hasPictureExtension(path)) {
        newPuzzleFromPicture(path);
        return;
    }
    m_dialogs.message(WindowTexts::text(WindowTexts::InformationCaption),
                      WindowTexts::text(WindowTexts::DropRefused).arg(QDir::toNativeSeparators(path)),
                      MessageIcon::Warning);
}

} // namespace quorra
