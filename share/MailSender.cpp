// SPDX-License-Identifier: GPL-3.0-or-later
// Hands a message with attachments to the desktop's mail program through xdg-email.
#include "MailSender.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace quorra {

namespace {

const QString MailProgram = QStringLiteral("xdg-email");

// xdg-email's documented exit codes; 3 is also its answer when there is no method for mail at all.
constexpr int ExitSuccess = 0;
constexpr int ExitFileMissing = 2;
constexpr int ExitNoPermission = 5;

// The invitation that goes with a puzzle, in the sender's language: the friend reads what the sender would have
// written. Each block is translated whole, so a translation keeps line breaks of its own; the web address is the
// line between them.
const char InvitationSubject[] = QT_TRANSLATE_NOOP("Mail", "Photo Puzzle");
const char InvitationBeforeAddress[] =
    QT_TRANSLATE_NOOP("Mail", "Hello!\n"
                              "I created for you puzzle that contain picture! If you\n"
                              "want to see the real picture, you should solve the puzzle!\n"
                              "To solve the puzzle, you will need the Quorra\n"
                              "program. You can download it for free:");
const char InvitationAfterAddress[] =
    QT_TRANSLATE_NOOP("Mail", "After you install the program, open the attached file\n"
                              "by double clicking it. With this software you will be\n"
                              "able to create new puzzles for your friends as well\n"
                              "as to solve the puzzles that were made for you!");
const QString MailLineEnd = QStringLiteral("\r\n");

// What the person is told when the message never reached a mail program; %1 is the list of paths.
const char NoMailProgramText[] = QT_TRANSLATE_NOOP("Mail", "No mail program could be started to send the puzzle.\n"
                                                           "Please attach the puzzle file to a message yourself:\n%1");
const char UnreadableAttachmentText[] =
    QT_TRANSLATE_NOOP("Mail", "The puzzle file could not be read, so it was not sent:\n%1");
const char UnattachableText[] =
    QT_TRANSLATE_NOOP("Mail", "The puzzle file cannot be handed to the mail program under its name.\n"
                              "Please attach the puzzle file to a message yourself:\n%1");
const char NotAnAddressText[] = QT_TRANSLATE_NOOP("Mail", "\"%1\" is not a valid mail address.");

QString translated(const char *text)
{
    return QCoreApplication::translate("Mail", text);
}

} // namespace

MailSender::MailSender(QObject *parent) : QObject(parent), m_program(MailProgram) {}

// Running xdg-email processes are left alone: they own the compose window the person is still
// writing in, and killing them would throw that message away.
MailSender::~MailSender() = default;

QString MailSender::invitationSubject()
{
    return translated(InvitationSubject);
}

QString MailSender::invitationBody(const QString &webAddress)
{
    const QStringList lines = translated(InvitationBeforeAddress).split(QLatin1Char('\n')) + QStringList{webAddress}
                              + translated(InvitationAfterAddress).split(QLatin1Char('\n'));
    return lines.join(MailLineEnd);
}

QStringList MailSender::arguments(const QStringList &recipients, const QString &subject, const QString &body,
                                  const QStringList &attachments)
{
    // xdg-email writes every line feed of the body into the mailto address as CR LF itself, so
    // the body goes over with bare line feeds; handing over CR LF would double the carriage returns.
    QString plainBody = body;
    plainBody.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList args = {QStringLiteral("--utf8"), QStringLiteral("--subject"), subject, QStringLiteral("--body"),
                        plainBody};
    for (const QString &path : attachments)
        args << QStringLiteral("--attach") << QFileInfo(path).absoluteFilePath();
    args << recipients;
    return args;
}

namespace {

bool inProc(const QString &path)
{
    return QFileInfo(path).absoluteFilePath().startsWith(QLatin1String("/proc/"));
}

// A descriptor link under /proc is shown as the file it stands for, which is what the person can find.
QString shownPath(const QString &path)
{
    const QFileInfo info(path);
    if (inProc(path) && info.isSymLink())
        return info.symLinkTarget();
    return info.absoluteFilePath();
}

QString pathList(const QStringList &attachments)
{
    QStringList paths;
    for (const QString &path : attachments)
        paths << shownPath(path);
    return paths.join(QLatin1Char('\n'));
}

} // namespace

QString MailSender::noMailProgramMessage(const QStringList &attachments)
{
    return translated(NoMailProgramText).arg(pathList(attachments));
}

QString MailSender::unreadableAttachmentMessage(const QStringList &attachments)
{
    return translated(UnreadableAttachmentText).arg(pathList(attachments));
}

QString MailSender::unattachableMessage(const QStringList &attachments)
{
    return translated(UnattachableText).arg(pathList(attachments));
}

bool MailSender::canAttach(const QString &path)
{
    return !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r')) && !inProc(path);
}

void MailSender::endHandOver(quint64 id)
{
    if (id != m_handOverId || !m_handingOver)
        return;
    m_handingOver = false;
    emit handingOverChanged(false);
}

bool MailSender::sendMailWithAttachments(const QStringList &recipients, const QString &subject, const QString &body,
                                         const QStringList &attachments)
{
    // A recipient that looks like an option would be taken as one by xdg-email (and could, for
    // example, smuggle in an attachment); recipients come from people, so refuse rather than guess.
    for (const QString &recipient : recipients)
        if (recipient.startsWith(QLatin1Char('-'))) {
            emit failed(translated(NotAnAddressText).arg(recipient));
            return false;
        }
    if (m_handingOver)
        return false;
    for (const QString &path : attachments)
        if (!canAttach(path)) {
            emit failed(unattachableMessage(attachments));
            return false;
        }

    m_handingOver = true;
    const quint64 id = ++m_handOverId;
    QTimer::singleShot(m_handOverMs, this, [this, id] { endHandOver(id); });
    emit handingOverChanged(true);

    // The process outlives this call (and possibly this object): it deletes itself when it ends.
    auto *process = new QProcess;
    // No pipes: a compose window left open after we quit must not die of a closed pipe.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());

    auto report = [this, attachments, id](int exitCode) {
        endHandOver(id);
        switch (exitCode) {
        case ExitSuccess:
            break;
        case ExitFileMissing:
        case ExitNoPermission:
            emit failed(unreadableAttachmentMessage(attachments));
            break;
        default:
            emit failed(noMailProgramMessage(attachments));
            break;
        }
        emit finished(exitCode);
    };
    // Cleanup is tied to the process itself, so it happens even after this object is gone.
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) // the one error not followed by finished
            process->deleteLater();
    });
    connect(process, &QProcess::finished, this, [report](int exitCode, QProcess::ExitStatus status) {
        report(status == QProcess::NormalExit ? exitCode : -1);
    });
    connect(process, &QProcess::errorOccurred, this, [report](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            report(-1);
    });

    process->start(m_program, arguments(recipients, subject, body, attachments));
    return true;
}

} // namespace quorra
