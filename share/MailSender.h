// SPDX-License-Identifier: GPL-3.0-or-later
// Hands a message with attachments to the desktop's mail program through xdg-email.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

namespace quorra {

class MailSender : public QObject
{
    Q_OBJECT

public:
    explicit MailSender(QObject *parent = nullptr);
    ~MailSender() override;

    // The fixed invitation that goes with a puzzle; WebAddress is the download page of line 6.
    static QString invitationSubject();
    static QString invitationBody(const QString &webAddress);

    // Opens the mail program's compose window and returns at once: xdg-email may block until the
    // mail program exits, so it runs on its own and reports back through Failed.
    // Lists, not comma-separated text, so a path with a comma in it stays one attachment.
    // Returns false when the request is refused before anything is started: then Failed is emitted, except
    // while another hand-over is under way, which is refused in silence (the command is off meanwhile).
    bool sendMailWithAttachments(const QStringList &recipients, const QString &subject, const QString &body,
                                 const QStringList &attachments);

    // True from a send until the mail program has taken the message or failed: xdg-email has ended, could not
    // be started, or has run for HandOverMs. It can run until the mail program quits (it waits for a mail
    // program it had to start), and by then that program's compose window is long open.
    bool isHandingOver() const { return m_handingOver; }
    void setHandOverMs(int milliseconds) { m_handOverMs = milliseconds; }

    // Whether the mail program can be handed this path: a line break would end the attachment inside the
    // mailto address, and a /proc path names a file only inside this process.
    static bool canAttach(const QString &path);

    // The program that is started; tests and unusual desktops may point it elsewhere.
    void setProgram(const QString &program) { m_program = program; }
    QString program() const { return m_program; }

    // The arguments handed to the program, in order (exposed so the exact hand-over is testable).
    static QStringList arguments(const QStringList &recipients, const QString &subject, const QString &body,
                                 const QStringList &attachments);

    // The text shown when nothing could take the message; it names every attachment's full path
    // so the person can attach it by hand.
    static QString noMailProgramMessage(const QStringList &attachments);
    static QString unreadableAttachmentMessage(const QStringList &attachments);
    static QString unattachableMessage(const QStringList &attachments);

signals:
    // The message never reached a mail program. Message is ready to be shown to the person.
    void failed(const QString &message);
    // A hand-over has begun or ended (see isHandingOver).
    void handingOverChanged(bool handingOver);
    // xdg-email has ended (successfully or not); mostly of use to tests.
    void finished(int exitCode);

private:
    void endHandOver(quint64 id);

    QString m_program;
    bool m_handingOver = false;
    // Counts the sends, so that a late report of an earlier one cannot end the one under way.
    quint64 m_handOverId = 0;
    int m_handOverMs = 10000;
};

} // namespace quorra
