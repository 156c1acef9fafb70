// Hands a message with attachments to the desktop's mail program through xdg-email.
#include "TMailSender.h"

#include <QFileInfo>
#include <QProcess>
#include <QTimer>

TMailSender::TMailSender(QObject *Parent)
    : QObject(Parent)
{
}

// Running xdg-email processes are left alone: they own the compose window the person is still
// writing in, and killing them would throw that message away.
TMailSender::~TMailSender() = default;

QString TMailSender::InvitationSubject()
{
    return QStringLiteral("Photo Puzzle");
}

QString TMailSender::InvitationBody(const QString &WebAddress)
{
    const QStringList Lines = {
        QStringLiteral("Hello!"),
        QStringLiteral("I created for you puzzle that contain picture! If you"),
        QStringLiteral("want to see the real picture, you should solve the puzzle!"),
        QStringLiteral("To solve the puzzle, you will need the Quorra"),
        QStringLiteral("program. You can download it for free:"),
        WebAddress,
        QStringLiteral("After you install the program, open the attached file"),
        QStringLiteral("by double clicking it. With this software you will be"),
        QStringLiteral("able to create new puzzles for your friends as well"),
        QStringLiteral("as to solve the puzzles that were made for you!"),
    };
    return Lines.join(QStringLiteral("\r\n"));
}

QStringList TMailSender::Arguments(const QStringList &Recipients, const QString &Subject,
                                   const QString &Body, const QStringList &Attachments)
{
    // xdg-email writes every line feed of the body into the mailto address as CR LF itself, so
    // the body goes over with bare line feeds; handing over CR LF would double the carriage returns.
    QString PlainBody = Body;
    PlainBody.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList Args = {QStringLiteral("--utf8"), QStringLiteral("--subject"), Subject,
                        QStringLiteral("--body"), PlainBody};
    for (const QString &Path : Attachments)
        Args << QStringLiteral("--attach") << QFileInfo(Path).absoluteFilePath();
    Args << Recipients;
    return Args;
}

namespace {

bool InProc(const QString &Path)
{
    return QFileInfo(Path).absoluteFilePath().startsWith(QLatin1String("/proc/"));
}

// A descriptor link under /proc is shown as the file it stands for, which is what the person can find.
QString ShownPath(const QString &Path)
{
    const QFileInfo Info(Path);
    if (InProc(Path) && Info.isSymLink())
        return Info.symLinkTarget();
    return Info.absoluteFilePath();
}

QString PathList(const QStringList &Attachments)
{
    QStringList Paths;
    for (const QString &Path : Attachments)
        Paths << ShownPath(Path);
    return Paths.join(QLatin1Char('\n'));
}

} // namespace

QString TMailSender::NoMailProgramMessage(const QStringList &Attachments)
{
    return QStringLiteral("No mail program could be started to send the puzzle.\n"
                          "Please attach the puzzle file to a message yourself:\n%1")
        .arg(PathList(Attachments));
}

QString TMailSender::UnreadableAttachmentMessage(const QStringList &Attachments)
{
    return QStringLiteral("The puzzle file could not be read, so it was not sent:\n%1")
        .arg(PathList(Attachments));
}

QString TMailSender::UnattachableMessage(const QStringList &Attachments)
{
    return QStringLiteral("The puzzle file cannot be handed to the mail program under its name.\n"
                          "Please attach the puzzle file to a message yourself:\n%1")
        .arg(PathList(Attachments));
}

bool TMailSender::CanAttach(const QString &Path)
{
    return !Path.contains(QLatin1Char('\n')) && !Path.contains(QLatin1Char('\r')) && !InProc(Path);
}

void TMailSender::EndHandOver(quint64 Id)
{
    if (Id == FHandOverId)
        FHandingOver = false;
}

bool TMailSender::SendMailWithAttachments(const QStringList &Recipients, const QString &Subject,
                                          const QString &Body, const QStringList &Attachments)
{
    // A recipient that looks like an option would be taken as one by xdg-email (and could, for
    // example, smuggle in an attachment); recipients come from people, so refuse rather than guess.
    for (const QString &Recipient : Recipients)
        if (Recipient.startsWith(QLatin1Char('-'))) {
            emit Failed(QStringLiteral("\"%1\" is not a valid mail address.").arg(Recipient));
            return false;
        }
    if (FHandingOver)
        return false;
    for (const QString &Path : Attachments)
        if (!CanAttach(Path)) {
            emit Failed(UnattachableMessage(Attachments));
            return false;
        }

    FHandingOver = true;
    const quint64 Id = ++FHandOverId;
    QTimer::singleShot(FHandOverMs, this, [this, Id] { EndHandOver(Id); });

    // The process outlives this call (and possibly this object): it deletes itself when it ends.
    auto *Process = new QProcess;
    // No pipes: a compose window left open after we quit must not die of a closed pipe.
    Process->setProcessChannelMode(QProcess::ForwardedChannels);
    Process->setStandardInputFile(QProcess::nullDevice());

    auto Report = [this, Attachments, Id](int ExitCode) {
        EndHandOver(Id);
        switch (ExitCode) {
        case ExitSuccess:
            break;
        case ExitFileMissing:
        case ExitNoPermission:
            emit Failed(UnreadableAttachmentMessage(Attachments));
            break;
        default:
            emit Failed(NoMailProgramMessage(Attachments));
            break;
        }
        emit Finished(ExitCode);
    };
    // Cleanup is tied to the process itself, so it happens even after this object is gone.
    connect(Process, &QProcess::finished, Process, &QObject::deleteLater);
    connect(Process, &QProcess::errorOccurred, Process, [Process](QProcess::ProcessError Error) {
        if (Error == QProcess::FailedToStart) // the one error not followed by finished
            Process->deleteLater();
    });
    connect(Process, &QProcess::finished, this, [Report](int ExitCode, QProcess::ExitStatus Status) {
        Report(Status == QProcess::NormalExit ? ExitCode : -1);
    });
    connect(Process, &QProcess::errorOccurred, this, [Report](QProcess::ProcessError Error) {
        if (Error == QProcess::FailedToStart)
            Report(-1);
    });

    Process->start(FProgram, Arguments(Recipients, Subject, Body, Attachments));
    return true;
}
