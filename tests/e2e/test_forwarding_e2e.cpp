#include "GTestQtText.h"
#include "TovaldeRun.h"

#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>
#include <ostream>

namespace {

const QString kFax = QStringLiteral("FAXまたはメールに転送");
const QString kAllAdr = QStringLiteral("soumu@example.jp＞インターネットFAXの標準の宛先");
const QString kFolder1 = QStringLiteral("101,受信フォルダ1⇒F/0312345678＞ローカルモデム");
const QString kFolder2 = QStringLiteral("102,受信フォルダ2⇒B/未登録の呼出し");
const QString kFolder3 = QStringLiteral("103,受信フォルダ3");

QStringList forwardingLogLines() {
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/KmbRxTrans/forwarding.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Receptions into folders with a fax rule, a pager rule and no rule, with the all-folders rule
// on: what the suite was asked to send and poke, what the forwarding log says, and what the
// program leaves behind when the system closes it.
TEST(ForwardingEndToEnd, ReceptionsAreForwardedByTheirRulesAndShutdownKeepsTheSettings) {
    TovaldeRun run;
    run.setSetting(QStringLiteral("AutoRun"), QStringLiteral("True"));
    run.setSetting(QStringLiteral("AllTrans"), QStringLiteral("1"));
    run.setSetting(QStringLiteral("AllTransPort"), kFax);
    run.setSetting(QStringLiteral("AllTransAdr"), kAllAdr);
    run.setSetting(QStringLiteral("FolderTRans"), QStringLiteral("1"));
    run.setSetting(QStringLiteral("FaxManClose"), QStringLiteral("True"));
    run.setProfile(QStringLiteral("AGENT-Recv"), QStringLiteral("1"), kFolder1);
    run.setProfile(QStringLiteral("AGENT-Recv"), QStringLiteral("2"), kFolder2);

    ASSERT_TRUE(run.startWaiting()) << run.programOutput().toStdString();

    // A damaged document between two good ones: passed over, and forwarding goes on.
    const QString damaged =
        run.environment().writeFile(QStringLiteral("damaged.tif"), "II*\0 this is not a fax");
    const QString document101 = run.receive(QStringLiteral("101"), 2, 10);
    const QString document103 = run.receiveFile(QStringLiteral("103"), damaged, 11);
    const QString document102 = run.receive(QStringLiteral("102"), 1, 12);
    run.receive(QStringLiteral("101"), 1, 13, 0); // a sent fax in the log: not forwarded
    ASSERT_FALSE(document101.isEmpty());

    const QVector<QStringList> expectedSends{
        {"転送:101", document101, "soumu@example.jp", "インターネット", ""},
        {"転送:101", document101, "0312345678", "ローカルモデム", ""},
        {"転送:102", document102, "soumu@example.jp", "インターネット", ""},
    };
    const QVector<QStringList> expectedPokes{{"Goidle", kAllAdr}, {"GoActive", kAllAdr}};
    EXPECT_TRUE(TovaldeRun::waitFor([&] {
        return run.records("outbox").size() >= expectedSends.size() &&
               run.records("pokes").size() >= expectedPokes.size();
    })) << run.programOutput().toStdString();
    EXPECT_EQ(run.records("outbox"), expectedSends);
    EXPECT_EQ(run.records("pokes"), expectedPokes);

    // Each executed rule left its line: three sends, the damaged document and the pager call
    // without an entry.
    const QStringList logLines = forwardingLogLines();
    EXPECT_EQ(logLines.size(), 5) << logLines.join('\n').toStdString();
    EXPECT_EQ(logLines.filter(QStringLiteral("\tok\t")).size(), 3);
    EXPECT_EQ(logLines.filter(QStringLiteral("\t103\t") + document103).filter("\tskipped\t").size(),
              1);
    EXPECT_EQ(logLines.filter(QStringLiteral("ポケベル呼出し\t未登録の呼出し\terror")).size(), 1);

    EXPECT_EQ(run.terminate(), 0) << run.programOutput().toStdString();

    EXPECT_EQ(run.setting(QStringLiteral("AutoRun")), QStringLiteral("True"));
    EXPECT_EQ(run.setting(QStringLiteral("AllTrans")), QStringLiteral("1"));
    EXPECT_EQ(run.setting(QStringLiteral("AllTransPort")), kFax);
    EXPECT_EQ(run.setting(QStringLiteral("AllTransAdr")), kAllAdr);
    EXPECT_EQ(run.setting(QStringLiteral("FolderTRans")), QStringLiteral("1"));
    EXPECT_EQ(run.setting(QStringLiteral("FaxManClose")), QStringLiteral("True"));
    EXPECT_EQ(run.profile(QStringLiteral("AGENT-Recv"), QStringLiteral("1")), kFolder1);
    EXPECT_EQ(run.profile(QStringLiteral("AGENT-Recv"), QStringLiteral("2")), kFolder2);
    EXPECT_EQ(run.profile(QStringLiteral("AGENT-Recv"), QStringLiteral("3")), kFolder3);
    // The automatic reception settings found at start-up are back, and the monitor was closed.
    EXPECT_EQ(run.profile(QStringLiteral("Monitor"), QStringLiteral("AutoReceive")),
              QStringLiteral("0"));
    EXPECT_EQ(run.profile(QStringLiteral("Monitor"), QStringLiteral("RingCount")),
              QStringLiteral("3"));
    EXPECT_EQ(run.suite({QStringLiteral("state")}).trimmed(), QStringLiteral("0"));
}

} // namespace
