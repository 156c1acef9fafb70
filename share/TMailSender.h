// Hands a message with attachments to the desktop's mail program through xdg-email.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

class TMailSender : public QObject
{
    Q_OBJECT

public:
    explicit TMailSender(QObject *Parent = nullptr);
    ~TMailSender() override;

    // The fixed invitation that goes with a puzzle; WebAddress is the download page of line 6.
    static QString InvitationSubject();
    static QString InvitationBody(const QString &WebAddress);

    // Opens the mail program's compose window and returns at once: xdg-email may block until the
    // mail program exits, so it runs on its own and reports back through Failed.
    // Lists, not comma-separated text, so a path with a comma in it stays one attachment.
    // Returns false when the request is refused before anything is started: then Failed is emitted, except
    // while another hand-over is under way, which is refused in silence (the command is off meanwhile).
    bool SendMailWithAttachments(const QStringList &Recipients, const QString &Subject,
                                 const QString &Body, const QStringList &Attachments);

    // True from a send until the mail program has taken the message or failed: xdg-email has ended, could not
    // be started, or has run for HandOverMs. It can run until the mail program quits (it waits for a mail
    // program it had to start), and by then that program's compose window is long open.
    bool HandOverUnderWay() const { return FHandingOver; }
    void SetHandOverMs(int Milliseconds) { FHandOverMs = Milliseconds; }

    // Whether the mail program can be handed this path: a line break would end the attachment inside the
    // mailto address, and a /proc path names a file only inside this process.
    static bool CanAttach(const QString &Path);

    // The program that is started; tests and unusual desktops may point it elsewhere.
    void SetProgram(const QString &Program) { FProgram = Program; }
    QString Program() const { return FProgram; }

    // The arguments handed to the program, in order (exposed so the exact hand-over is testable).
    static QStringList Arguments(const QStringList &Recipients, const QString &Subject,
                                 const QString &Body, const QStringList &Attachments);

    // xdg-email's documented exit codes.
    enum TExitCode {
        ExitSuccess = 0,
        ExitSyntax = 1,
        ExitFileMissing = 2,
        ExitToolMissing = 3, // also its answer when there is no method for mail at all
        ExitActionFailed = 4,
        ExitNoPermission = 5,
    };

    // The text shown when nothing could take the message; it names every attachment's full path
    // so the person can attach it by hand.
    static QString NoMailProgramMessage(const QStringList &Attachments);
    static QString UnreadableAttachmentMessage(const QStringList &Attachments);
    static QString UnattachableMessage(const QStringList &Attachments);

signals:
    // The message never reached a mail program. Message is ready to be shown to the person.
    void Failed(const QString &Message);
    // xdg-email has ended (successfully or not); mostly of use to tests.
    void Finished(int ExitCode);

private:
    QString FProgram = QStringLiteral("xdg-email");
    bool FHandingOver = false;
    // Counts the sends, so that a late report of an earlier one cannot end the one under way.
    quint64 FHandOverId = 0;
    int FHandOverMs = 10000;

    void EndHandOver(quint64 Id);
};
