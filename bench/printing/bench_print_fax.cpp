// Prints a fine fax through a private print service and reports pages per second and peak
// memory, beside the same document sent by tiff2pdf + lp in the same run.
//
//   bench_print_fax            the whole comparison (needs root for the print service)
//   bench_print_fax --print FAX QUEUE
//                              one print in this process; prints its peak memory in kB
#include "KmbDocument.h"
#include "PrivateCups.h"
#include "QtPrinters.h"
#include "ReceivedFaxPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include <cstdio>

namespace {

const QString kQueue = QStringLiteral("BenchPdf");

long peakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

QString programDirectory() {
    return QCoreApplication::applicationDirPath();
}

bool runQuietly(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(600000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    const QString text = QString::fromUtf8(process.readAll());
    if (output)
        *output = text;
    if (!ok)
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), qPrintable(text));
    return ok;
}

QString uniqueTitle(const char* prefix) {
    return QString::fromLatin1(prefix) + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

QString sampleFax(const QTemporaryDir& dir, const QString& title, int pages) {
    const QString path = dir.filePath(title + QStringLiteral(".tif"));
    const QString kmbsuite = programDirectory() + QStringLiteral("/../../suite/kmbsuite");
    if (!runQuietly(kmbsuite, {QStringLiteral("sample-fax"), path, QStringLiteral("--pages"),
                               QString::number(pages), QStringLiteral("--fine")}))
        return {};
    return path;
}

// One print in a fresh process, so its peak memory is the print's own.
int printOnce(const QString& fax, const QString& queue) {
    QTemporaryDir work;
    KmbDocument document;
    QtPrinters printers;
    ReceivedFaxPrinter routine(document, printers,
                               work.filePath(QStringLiteral("KMBVIEWTEMP.BMP")));
    const long before = peakResidentKb();
    routine.INS_PrnOut(fax, queue);
    std::printf("%ld %ld\n", before, peakResidentKb());
    return 0;
}

struct Run {
    double submitSeconds = 0; // until the job is handed to the print service
    double pdfSeconds = 0;    // until the queue's PDF is complete
    long peakKb = 0;
    long baselineKb = 0;
    int pages = 0;
};

Run printInChild(const PrivateCups& cups, const QString& fax) {
    Run run;
    QElapsedTimer clock;
    clock.start();
    QString output;
    if (!runQuietly(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--print"), fax, kQueue}, &output))
        return run;
    run.submitSeconds = clock.nsecsElapsed() / 1e9;
    const QString pdf = cups.waitForPdf(QFileInfo(fax).completeBaseName(), 600000);
    run.pdfSeconds = clock.nsecsElapsed() / 1e9;
    const QStringList figures = output.trimmed().split('\n').last().split(' ');
    run.baselineKb = figures.value(0).toLong();
    run.peakKb = figures.value(1).toLong();
    run.pages = PrivateCups::pdfInfo(pdf).value(QStringLiteral("Pages")).toInt();
    QFile::remove(pdf);
    return run;
}

Run tiff2pdfAndLp(const PrivateCups& cups, const QTemporaryDir& dir, const QString& fax) {
    Run run;
    const QString title = uniqueTitle("lp");
    const QString pdfIn = dir.filePath(title + QStringLiteral(".pdf"));
    QElapsedTimer clock;
    clock.start();
    if (!runQuietly(QStringLiteral("tiff2pdf"), {QStringLiteral("-o"), pdfIn, fax}) ||
        !runQuietly(QStringLiteral("lp"),
                    {QStringLiteral("-d"), kQueue, QStringLiteral("-t"), title, pdfIn}))
        return run;
    run.submitSeconds = clock.nsecsElapsed() / 1e9;
    const QString pdf = cups.waitForPdf(title, 600000);
    run.pdfSeconds = clock.nsecsElapsed() / 1e9;
    run.pages = PrivateCups::pdfInfo(pdf).value(QStringLiteral("Pages")).toInt();
    QFile::remove(pdf);
    return run;
}

void report(const char* what, const Run& run) {
    std::printf("%-34s %3d pages  submitted %6.2f s  PDF done %6.2f s  %6.1f pages/s", what,
                run.pages, run.submitSeconds, run.pdfSeconds,
                run.pdfSeconds > 0 ? run.pages / run.pdfSeconds : 0.0);
    if (run.peakKb > 0)
        std::printf("  peak %ld kB (%ld kB before printing)", run.peakKb, run.baselineKb);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--print"))
        return printOnce(arguments[2], arguments[3]);

    PrivateCups cups;
    if (!cups.isRunning()) {
        std::fprintf(stderr, "no private print service: %s\n",
                     qPrintable(cups.unavailableReason()));
        return 1;
    }
    QString error;
    if (!cups.addPdfQueue(kQueue, &error)) {
        std::fprintf(stderr, "queue: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    const QString fax50 = sampleFax(dir, uniqueTitle("bench50-"), 50);
    const QString fax5 = sampleFax(dir, uniqueTitle("bench5-"), 5);
    if (fax50.isEmpty() || fax5.isEmpty())
        return 1;

    std::printf("Printing a fine fax to a PDF queue of a private print service\n");
    report("INS_PrnOut, 50 pages", printInChild(cups, fax50));
    report("tiff2pdf + lp, 50 pages", tiff2pdfAndLp(cups, dir, fax50));
    report("INS_PrnOut, 5 pages", printInChild(cups, fax5));
    return 0;
}
