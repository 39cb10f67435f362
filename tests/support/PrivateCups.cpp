#include "PrivateCups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QThread>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kCupsd = "/usr/sbin/cupsd";
const char* const kPdfBackend = "/usr/lib/cups/backend/cups-pdf";
const char* const kPdfDriver = "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd";

bool writeText(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) == text.toUtf8().size();
}

// cups-pdf turns characters that cannot stand in a file name into '_' and appends the job's
// details after the title.
bool isPdfOfTitle(const QString& fileName, const QString& title) {
    return fileName.startsWith(title) && fileName.endsWith(QStringLiteral(".pdf"));
}

} // namespace

PrivateCups::PrivateCups() {
    hadServer_ = qEnvironmentVariableIsSet("CUPS_SERVER");
    previousServer_ = qgetenv("CUPS_SERVER");
    unavailableReason_ = start();
}

PrivateCups::~PrivateCups() {
    if (cupsd_.state() != QProcess::NotRunning) {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(10000)) {
            cupsd_.kill();
            cupsd_.waitForFinished(5000);
        }
    }
    if (hadServer_)
        qputenv("CUPS_SERVER", previousServer_);
    else
        qunsetenv("CUPS_SERVER");
}

QString PrivateCups::start() {
    if (::geteuid() != 0)
        return QStringLiteral("the private print service needs root (cupsd and the PDF backend)");
    if (!QFileInfo::exists(QString::fromLatin1(kCupsd)))
        return QStringLiteral("cupsd is not installed (package cups)");
    if (!QFileInfo::exists(QString::fromLatin1(kPdfBackend)))
        return QStringLiteral("the PDF backend is not installed (package printer-driver-cups-pdf)");
    if (!dir_.isValid())
        return QStringLiteral("no temporary directory for the print service");

    // The filters run as the print user: every folder on their way must be reachable by it.
    const QDir root(dir_.path());
    for (const char* sub : {"serverroot", "cache", "state", "log", "spool", "spool/tmp"})
        root.mkpath(QString::fromLatin1(sub));
    for (const char* sub : {"", "serverroot", "cache", "state", "log"})
        ::chmod(QFile::encodeName(root.filePath(QString::fromLatin1(sub))).constData(), 0755);
    const QByteArray spool = QFile::encodeName(root.filePath(QStringLiteral("spool")));
    if (const group* lp = ::getgrnam("lp")) [[maybe_unused]]
        int ignored = ::chown(spool.constData(), 0, lp->gr_gid);
    ::chmod(spool.constData(), 0710);
    ::chmod(QFile::encodeName(root.filePath(QStringLiteral("spool/tmp"))).constData(), 01777);

    const QString socket = root.filePath(QStringLiteral("cups.sock"));
    const QString conf = root.filePath(QStringLiteral("cupsd.conf"));
    const QString files = root.filePath(QStringLiteral("cups-files.conf"));
    const bool written =
        writeText(conf, QStringLiteral("Listen %1\nLogLevel warn\nMaxJobs 0\n"
                                       "<Location />\n  Order allow,deny\n  Allow all\n"
                                       "</Location>\n")
                            .arg(socket)) &&
        writeText(files, QStringLiteral("ServerRoot %1/serverroot\nRequestRoot %1/spool\n"
                                        "TempDir %1/spool/tmp\nCacheDir %1/cache\n"
                                        "StateDir %1/state\nErrorLog %1/log/error_log\n"
                                        "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                                        "Sandboxing Relaxed\n")
                             .arg(root.path()));
    if (!written)
        return QStringLiteral("cannot write the print service's configuration");

    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    cupsd_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that dies must not leave its print service behind.
    cupsd_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_.start(QString::fromLatin1(kCupsd),
                 {QStringLiteral("-f"), QStringLiteral("-c"), conf, QStringLiteral("-s"), files});
    if (!cupsd_.waitForStarted(5000))
        return QStringLiteral("cupsd did not start: %1").arg(cupsd_.errorString());

    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (cupsd_.state() == QProcess::NotRunning)
            return QStringLiteral("cupsd ended at once (exit code %1)").arg(cupsd_.exitCode());
        bool ok = false;
        const QString status = run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &ok);
        if (ok && status.contains(QStringLiteral("is running")))
            return {};
        QThread::msleep(50);
    }
    return QStringLiteral("cupsd did not answer on %1 within 10 s").arg(socket);
}

bool PrivateCups::addPdfQueue(const QString& name, QString* error) {
    bool ok = false;
    const QString output =
        run(QStringLiteral("lpadmin"),
            {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
             QStringLiteral("cups-pdf:/"), QStringLiteral("-m"), QString::fromLatin1(kPdfDriver)},
            &ok);
    if (!ok && error)
        *error = output;
    return ok;
}

QStringList PrivateCups::jobs() const {
    const QString output = run(QStringLiteral("lpstat"),
                               {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")});
    QStringList ids;
    for (const QString& line : output.split('\n', Qt::SkipEmptyParts))
        ids << line.section(' ', 0, 0, QString::SectionSkipEmpty);
    return ids;
}

QString PrivateCups::waitForPdf(const QString& title, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    do {
        const QDir dir(pdfDirectory());
        for (const QString& name : dir.entryList(QDir::Files)) {
            if (!isPdfOfTitle(name, title))
                continue;
            const QString path = dir.filePath(name);
            if (!pdfInfo(path).value(QStringLiteral("Pages")).isEmpty())
                return path;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return {};
}

QString PrivateCups::pdfDirectory() {
    const passwd* user = ::getpwuid(::geteuid());
    const QString home = user ? QFile::decodeName(user->pw_dir) : QDir::homePath();
    return home + QStringLiteral("/PDF");
}

QMap<QString, QString> PrivateCups::pdfInfo(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    QMap<QString, QString> info;
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return info;
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0)
            info.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return info;
}

QString PrivateCups::run(const QString& program, const QStringList& arguments, bool* ok) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(10000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAll());
}
