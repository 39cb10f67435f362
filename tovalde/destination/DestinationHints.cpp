#include "DestinationHints.h"

#include "PortEncoding.h"

#include <QStringList>

namespace DestinationHints {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// Every line ends in CR LF, the last one too; one empty line separates the paragraphs.
QString joined(const QList<QStringList>& paragraphs) {
    QString text;
    for (const QStringList& paragraph : paragraphs) {
        if (!text.isEmpty())
            text += kLineEnd;
        for (const QString& line : paragraph)
            text += line + kLineEnd;
    }
    return text;
}

Hint faxHint() {
    return {
        QStringLiteral("FAXまたはメールに転送のヒント"),
        joined(
            {{QStringLiteral("■ FAXまたはメールに転送"), QStringLiteral("（説明）"),
              QStringLiteral("受信したFAXを、FAX機またはインターネットメールに転送する設定です。"),
              QStringLiteral("(原稿はTIFファイルとして添付されます)")},
             {
                 QStringLiteral("＜通信経路＞について"),
                 QStringLiteral("◎メールアドレスを直接入力"),
                 QStringLiteral("　入力したアドレスへメールとして転送されます。"),
                 QStringLiteral("　（事前にメール関連の環境設定が必要です）"),
                 QStringLiteral("◎ローカルモデム"),
                 QStringLiteral("　このパソコンに接続されているモデムからFAXに転送します。"),
                 QStringLiteral("　FAX番号：欄に送信先のFAX番号を入力します。"),
                 QStringLiteral("◎FAXモデム共有サーバー"),
                 QStringLiteral(
                     "　ネットワーク上のFAXモデム共有サーバーを経由してFAXに転送します。"),
                 QStringLiteral("　FAX番号：欄に送信先のFAX番号を入力します。"),
                 QStringLiteral("　（事前にモデム共有に関する環境設定が必要です）"),
                 QStringLiteral("◎インターネットFAXの標準の宛先"),
                 QStringLiteral(
                     "　[環境設定]－[通信経路設定]の「インターネットFAX標準の宛先名」の"),
                 QStringLiteral("　設定内容にしたがって、メールとして転送されます。"),
                 QStringLiteral("　（事前にメール関連の環境設定が必要です）"),
                 QStringLiteral("　（宛先がメール→FAXのゲートウエイサーバーの場合、FAX番号：欄に"),
                 QStringLiteral("　　送信先のFAX番号を入れてFAXへ中継させることができます）"),
                 QStringLiteral("◎上記以外"),
                 QStringLiteral(
                     "　[環境設定]－[インターネットFAX設定]でプロファイルを登録した場合"),
                 QStringLiteral("　それらが表示されます。"),
                 QStringLiteral("　（宛先がメール→FAXのゲートウエイサーバーの場合、FAX番号：欄に"),
                 QStringLiteral("　　送信先のFAX番号を入れてFAXへ中継させることができます）"),
             }})};
}

Hint printerHint() {
    return {
        QStringLiteral("プリンタで印刷のヒント"),
        joined({{QStringLiteral("■ プリンタで印刷"), QStringLiteral("（説明）"),
                 QStringLiteral("受信したFAXを、選択したプリンタに印刷します。印刷される用紙は、"),
                 QStringLiteral("そのプリンタの既定用紙となっているものが選択されます。自動切替え"),
                 QStringLiteral("はできません。")},
                {
                    QStringLiteral("＜プリンタ名＞"),
                    QStringLiteral("このパソコンで利用できるプリンタから選択することができます。"),
                }})};
}

Hint pagerHint() {
    return {
        QStringLiteral("ポケベル呼出しのヒント"),
        joined(
            {{QStringLiteral("■ ポケベル呼出し"),
              QStringLiteral(
                  "（説明）FAXを受信したことをポケベルや携帯電話に知らせることができます。")},
             {
                 QStringLiteral("＜タイトル＞"),
                 QStringLiteral(
                     "自動転送の[設定]メニュー「ポケベル登録」に登録した内容が表示されています。"),
                 QStringLiteral("この中から選択して利用します。"),
             }})};
}

} // namespace

std::optional<Hint> hintFor(int portIndex) {
    switch (portIndex) {
    case PortEncoding::PortFax:
        return faxHint();
    case PortEncoding::PortPrinter:
        return printerHint();
    case PortEncoding::PortPager:
        return pagerHint();
    default:
        return std::nullopt;
    }
}

} // namespace DestinationHints
