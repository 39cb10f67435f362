#pragma once

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A print service of the test's own: cupsd with a private configuration, spool and socket, and
// printer queues whose jobs become PDF files. CUPS_SERVER points at it for the test's lifetime, so
// nothing reaches a print service of the machine. It needs root (the PDF backend runs jobs as the
// print user and files them under the submitting user's home); where it cannot run,
// unavailableReason() says why and the tests skip.
class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool isRunning() const { return unavailableReason_.isEmpty(); }
    QString unavailableReason() const { return unavailableReason_; }

    // Adds an enabled queue whose jobs become PDF files. False (with the reason in `error`) when
    // the service refuses it.
    bool addPdfQueue(const QString& name, QString* error = nullptr);

    // Every job the service has taken, finished or not, one "queue-id" a line.
    QStringList jobs() const;

    // The PDF of the job titled `title` once it is complete (pdfinfo reads it), or an empty text
    // when none is complete within `timeoutMs`.
    QString waitForPdf(const QString& title, int timeoutMs = 20000) const;

    // Where the PDF backend files the jobs of the user running the test.
    static QString pdfDirectory();

    // What pdfinfo says of a PDF, "Key" -> value; empty when it cannot read the file.
    static QMap<QString, QString> pdfInfo(const QString& pdf);

private:
    QString start();
    QString run(const QString& program, const QStringList& arguments, bool* ok = nullptr) const;

    QTemporaryDir dir_;
    QProcess cupsd_;
    QString unavailableReason_;
    QByteArray previousServer_;
    bool hadServer_ = false;
};
