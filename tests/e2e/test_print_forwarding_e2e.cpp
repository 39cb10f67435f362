#include "PrivateCups.h"
#include "TovaldeRun.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

const QString kQueue = QStringLiteral("E2EFaxPrinter");

// A reception into a folder whose rule prints: the program prints the document on the queue of
// a private print service, every page of it.
TEST(PrintForwardingEndToEnd, ReceptionInAFolderWithAPrinterRuleComesOutOfThePrinter) {
    PrivateCups cups;
    if (!cups.isRunning())
        GTEST_SKIP() << "no private print service: " << cups.unavailableReason().toStdString();
    QString error;
    ASSERT_TRUE(cups.addPdfQueue(kQueue, &error)) << error.toStdString();

    TovaldeRun run;
    run.setSetting(QStringLiteral("AutoRun"), QStringLiteral("True"));
    run.setSetting(QStringLiteral("FolderTRans"), QStringLiteral("1"));
    run.setSetting(QStringLiteral("FaxManClose"), QStringLiteral("True"));
    run.setProfile(QStringLiteral("AGENT-Recv"), QStringLiteral("1"),
                   QStringLiteral("101,受信フォルダ1⇒P/") + kQueue);
    ASSERT_TRUE(run.startWaiting()) << run.programOutput().toStdString();

    const QString document = run.receive(QStringLiteral("101"), 3, 10);
    ASSERT_FALSE(document.isEmpty());

    // The job is titled with the document's name.
    const QString pdf = cups.waitForPdf(QFileInfo(document).completeBaseName());
    ASSERT_FALSE(pdf.isEmpty()) << run.programOutput().toStdString();
    EXPECT_EQ(PrivateCups::pdfInfo(pdf).value(QStringLiteral("Pages")), QStringLiteral("3"));
    QFile::remove(pdf);
    EXPECT_TRUE(run.records(QStringLiteral("outbox")).isEmpty());

    EXPECT_EQ(run.terminate(), 0) << run.programOutput().toStdString();
}

} // namespace
