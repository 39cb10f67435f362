#include "GTestQtText.h"
#include "ItemList.h"
#include "RuleEditing.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

const QString kFax = QStringLiteral("FAXまたはメールに転送");

ReceiveFolderRow folder(const QString& port, const QString& adr) {
    ReceiveFolderRow row;
    row.strFolder = QStringLiteral("受信");
    row.strFaxId = QStringLiteral("0311112222");
    row.rule = {port, adr};
    return row;
}

// The number list takes the number part of every fax rule, switched on or not, in rule order.
TEST(FaxNumberList, HoldsTheNumberOfEveryFaxRuleInRuleOrder) {
    const struct {
        const char* what;
        ForwardingRule allRule;
        QVector<ReceiveFolderRow> rows;
        QStringList numbers;
    } cases[] = {
        {"nothing to list", {QStringLiteral("(なし)"), QString()}, {}, {}},
        {"the all-folders number first, then the folders in profile order",
         {kFax, QStringLiteral("0298765432＞ローカルモデム")},
         {folder(kFax, QStringLiteral("0612345678")),
          folder(kFax, QStringLiteral("0312345678＞FAXモデム共有サーバー"))},
         {"0298765432", "0612345678", "0312345678"}},
        {"a number used twice is listed twice",
         {kFax, QStringLiteral("0312345678")},
         {folder(kFax, QStringLiteral("0312345678＞ローカルモデム"))},
         {"0312345678", "0312345678"}},
        {"mail addresses given as route and empty destinations add nothing",
         {kFax, QStringLiteral("＞soumu@example.jp")},
         {folder(kFax, QString()), folder(kFax, QStringLiteral("＞taro@example.jp")),
          folder(kFax, QStringLiteral("hanako@example.jp"))},
         {"hanako@example.jp"}},
        {"other types and short type names are passed over",
         {QStringLiteral("FAX"), QStringLiteral("0311111111")},
         {folder(QStringLiteral("プリンタで印刷"), QStringLiteral("0322222222")),
          folder(QStringLiteral("ポケベル呼出し"), QStringLiteral("0333333333")),
          folder(QString(), QStringLiteral("0344444444"))},
         {}},
    };
    for (const auto& c : cases) {
        ForwardingRuleStore rules;
        rules.allRule = c.allRule;
        rules.rows = c.rows;
        StringItemList list;
        list.items = {QStringLiteral("left over from before")};
        RuleEditing::INS_SetFaxList(list, rules);
        EXPECT_EQ(list.items, c.numbers) << c.what;
    }
}

// What the dialog's boxes show for a stored fax destination, and what registering them
// unchanged stores: an old route name keeps its number and comes back under its current name.
TEST(FaxDestinationInTheDialog, OpensInItsBoxesAndComesBack) {
    const struct {
        const char* stored;
        int level;
        const char* number;
        const char* route;
        const char* registered;
    } cases[] = {
        {"0312345678＞ローカルモデム", 2, "0312345678", "ローカルモデム",
         "0312345678＞ローカルモデム"},
        {"0312345678＞ＮＰサーバー", 2, "0312345678", "FAXモデム共有サーバー",
         "0312345678＞FAXモデム共有サーバー"},
        {"0312345678＞インターネット", 2, "0312345678", "インターネットFAXの標準の宛先",
         "0312345678＞インターネットFAXの標準の宛先"},
        {"0312345678>ＮＰサーバー", 2, "0312345678", "FAXモデム共有サーバー",
         "0312345678＞FAXモデム共有サーバー"},
        {"＞taro@example.jp", 2, "", "taro@example.jp", "＞taro@example.jp"},
        {"0312345678", 2, "0312345678", "", "0312345678"},
        {"0312345678＞ＮＰサーバー", 1, "0312345678", "", "0312345678"},
        {"", 2, "", "", ""},
    };
    for (const auto& c : cases) {
        const QString stored = QString::fromUtf8(c.stored);
        const RuleEditing::FaxBoxes boxes = RuleEditing::faxBoxesFor(stored, c.level);
        EXPECT_EQ(boxes.number, QString::fromUtf8(c.number)) << c.stored;
        EXPECT_EQ(boxes.route, QString::fromUtf8(c.route)) << c.stored;
        EXPECT_EQ(RuleEditing::registeredDestination(1, boxes.number, boxes.route, c.level),
                  QString::fromUtf8(c.registered))
            << c.stored;
    }
}

// Only a fax rule on an engine that takes routes gets a route part.
TEST(FaxDestinationInTheDialog, RouteIsAddedOnlyToAFaxRuleWhereRoutesAreTaken) {
    const QString route = QStringLiteral("ローカルモデム");
    EXPECT_EQ(RuleEditing::registeredDestination(1, QStringLiteral("0312"), route, 2),
              QStringLiteral("0312＞ローカルモデム"));
    EXPECT_EQ(RuleEditing::registeredDestination(1, QStringLiteral("0312"), route, 1),
              QStringLiteral("0312"));
    EXPECT_EQ(RuleEditing::registeredDestination(2, QStringLiteral("PDF"), route, 2),
              QStringLiteral("PDF"));
    EXPECT_EQ(RuleEditing::registeredDestination(0, QString(), route, 2), QString());
}

} // namespace
