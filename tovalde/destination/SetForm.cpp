#include "SetForm.h"

#include "DestinationHints.h"
#include "FormControls.h"
#include "KmBell.h"
#include "Main.h"
#include "MessageBox.h"
#include "PortEncoding.h"
#include "RouteList.h"
#include "Twips.h"
#include "WidgetItemList.h"

#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include <iterator>

namespace {

constexpr int kClientWidth = 6645;
constexpr int kClientHeight = 2400;

const QString kFaxNumberCaption = QStringLiteral("FAX番号：");
const QString kPrinterCaption = QStringLiteral("プリンタ名：");
const QString kTitleCaption = QStringLiteral("タイトル：");

using FormControls::named;
using FormControls::place;

// A combo box with an edit field as the dialog's: what is typed is never added to the list, and
// nothing is completed from it behind the user's back.
QComboBox* editableBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    return box;
}

// A selection list that stays without a selection when it is filled, so an unset or vanished
// destination shows as none instead of as the first entry. (A combo box only picks its first
// entry by itself when it has no placeholder.)
QComboBox* selectionBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setPlaceholderText(QStringLiteral(" "));
    return box;
}

} // namespace

SetForm::SetForm(int engineLevel, QWidget* parent) : QDialog(parent), engineLevel_(engineLevel) {
    setObjectName(QStringLiteral("SetForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    setWindowTitle(QStringLiteral("転送先の設定"));
    setFixedSize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight));
    buildControls();
    chainTabOrder();
    CommandEntry->setFocus();
}

void SetForm::buildControls() {
    Image1 = named(new QFrame(this), QStringLiteral("Image1"));
    place(Image1, 180, 180, 6225, 1635);
    Image1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    LabelPort = named(new QLabel(QStringLiteral("転送種別："), this), QStringLiteral("LabelPort"));
    place(LabelPort, 400, 450, 885, 255);
    ComboPort = named(new QComboBox(this), QStringLiteral("ComboPort"));
    place(ComboPort, 1305, 405, 2310, 300);
    PortEncoding::PortTable portTable;
    ComboBoxItems portItems(ComboPort);
    PortEncoding::INS_InitPortList(portTable, &portItems);
    ComboPort->setCurrentIndex(-1);

    LabelRoute =
        named(new QLabel(QStringLiteral("通信経路："), this), QStringLiteral("LabelRoute"));
    place(LabelRoute, 400, 885, 885, 255);
    ComboRoute = named(editableBox(this), QStringLiteral("ComboRoute"));
    place(ComboRoute, 1320, 840, 3060, 300);
    LabelRoute->hide();
    ComboRoute->hide();

    LabelAddress = named(new QLabel(kFaxNumberCaption, this), QStringLiteral("LabelAddress"));
    place(LabelAddress, 400, 1365, 870, 255);
    for (int i = 0; i < static_cast<int>(ComboAddress.size()); ++i) {
        const bool hasEditField = i <= PortEncoding::PortFax;
        ComboAddress[i] = named(hasEditField ? editableBox(this) : selectionBox(this),
                                QStringLiteral("ComboAddress%1").arg(i));
        place(ComboAddress[i], hasEditField ? 1320 : 1305, 1320, 4920, 300);
        ComboAddress[i]->hide();
    }
    // The number is stored in front of the route separator; one typed into it would move the
    // rest of the number into the route when the rule is read back.
    ComboAddress[PortEncoding::PortFax]->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^>＞]*")), ComboAddress[PortEncoding::PortFax]));

    CommandHint =
        named(new QPushButton(QStringLiteral("ヒント"), this), QStringLiteral("CommandHint"));
    place(CommandHint, 180, 1920, 1140, 300);
    CommandEntry =
        named(new QPushButton(QStringLiteral("登録"), this), QStringLiteral("CommandEntry"));
    place(CommandEntry, 4050, 1920, 1140, 300);
    CommandCan =
        named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("CommandCan"));
    place(CommandCan, 5280, 1920, 1140, 300);
    // No button is the default: Enter in a box does not register the rule by surprise.
    for (QPushButton* button : {CommandHint, CommandEntry, CommandCan})
        FormControls::makeCommandButton(button);

    connect(ComboPort, &QComboBox::currentIndexChanged, this, &SetForm::ComboPort_Click);
    connect(ComboRoute, &QComboBox::editTextChanged, this, &SetForm::ComboRoute_Change);
    connect(ComboRoute, &QComboBox::activated, this, &SetForm::ComboRoute_Click);
    connect(CommandEntry, &QPushButton::clicked, this, &SetForm::CommandEntry_Click);
    connect(CommandCan, &QPushButton::clicked, this, &SetForm::CommandCan_Click);
    connect(CommandHint, &QPushButton::clicked, this, &SetForm::CommandHint_Click);
}

void SetForm::chainTabOrder() {
    QWidget* const order[] = {CommandEntry,    CommandCan,      ComboPort,
                              ComboRoute,      ComboAddress[0], ComboAddress[1],
                              ComboAddress[2], ComboAddress[3], CommandHint};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

bool SetForm::INS_bCheckAdr(const QString& adr) const {
    for (int i = 0; i < ComboRoute->count(); ++i) {
        if (ComboRoute->itemText(i) == adr)
            return true;
    }
    return false;
}

void SetForm::INS_varGetInfName() {
    const RouteList::SuitePaths paths = RouteList::suitePaths(qEnvironmentVariable("windir"));
    strSuiteIniPath = paths.strSuiteIniPath;
    strSuiteDir = paths.strSuiteDir;
    strIfaxProfPath = paths.strIfaxProfPath;
}

void SetForm::INS_GetIfaxProfile(ItemList& varLstObj) {
    RouteList::appendIfaxProfiles(varLstObj, strIfaxProfPath);
}

// The dialog's own rebuilding is no route choice of the user: the route text just ends empty.
void SetForm::emptyRouteList() {
    const QSignalBlocker blocker(ComboRoute);
    ComboRoute->clear();
    ComboRoute->setCurrentIndex(-1);
    ComboRoute->clearEditText();
}

void SetForm::INS_SetRouteList() {
    INS_varGetInfName();
    emptyRouteList();
    const QSignalBlocker blocker(ComboRoute);
    ComboRoute->addItems(RouteList::fixedRoutes());
    ComboBoxItems routes(ComboRoute);
    INS_GetIfaxProfile(routes);
    ComboRoute->setCurrentIndex(-1);
    ComboRoute->clearEditText();
}

void SetForm::ComboPort_Click() {
    const int t = ComboPort->currentIndex();
    for (int i = 0; i < static_cast<int>(ComboAddress.size()); ++i)
        ComboAddress[i]->setVisible(i == t && t != PortEncoding::PortNone);
    LabelRoute->hide();
    ComboRoute->hide();
    emptyRouteList();
    CommandHint->setVisible(t != PortEncoding::PortNone);

    switch (t) {
    case PortEncoding::PortNone:
        LabelAddress->clear();
        break;
    case PortEncoding::PortFax:
        LabelAddress->setText(kFaxNumberCaption);
        if (engineLevel_ >= 2) {
            INS_SetRouteList();
            LabelRoute->show();
            ComboRoute->show();
        }
        break;
    case PortEncoding::PortPrinter:
        LabelAddress->setText(kPrinterCaption);
        break;
    case PortEncoding::PortPager: {
        LabelAddress->setText(kTitleCaption);
        ComboBoxItems titles(ComboAddress[PortEncoding::PortPager]);
        Main::SetBellTitleListNoTemplate(titles);
        if (ComboAddress[PortEncoding::PortPager]->count() == 0)
            offerPagerRegistration();
        break;
    }
    default:
        break;
    }
}

void SetForm::offerPagerRegistration() {
    const MessageBox::Answer answer = MessageBox::show(
        this,
        QStringLiteral("ポケベル呼び出しの登録がありません。\r\n\r\nポケベルの登録をしますか？"),
        windowTitle(), MessageBox::Icon::Question, MessageBox::Buttons::YesNo);
    if (answer != MessageBox::Answer::Yes)
        return;
    KmBell dialog(this);
    dialog.exec();
}

void SetForm::ComboRoute_Change() {
    const QString r = ComboRoute->currentText();
    const bool f = INS_bCheckAdr(r);
    QComboBox* numberBox = ComboAddress[PortEncoding::PortFax];
    if (f && r != RouteList::kDirectMailRoute) {
        LabelAddress->setText(kFaxNumberCaption);
        numberBox->show();
        return;
    }
    if (f)
        ComboRoute->setEditText(RouteList::kMailPrompt);
    LabelAddress->clear();
    numberBox->hide();
    numberBox->clearEditText();
}

void SetForm::ComboRoute_Click() {
    ComboRoute_Change();
}

void SetForm::CommandEntry_Click() {
    if (ComboRoute->currentText() == RouteList::kMailPrompt)
        ComboRoute->clearEditText();
    const int t = ComboPort->currentIndex();
    if ((t == PortEncoding::PortPrinter || t == PortEncoding::PortPager) &&
        ComboAddress[t]->currentText().isEmpty()) {
        MessageBox::show(this, RouteList::missingValueMessage(LabelAddress->text()), windowTitle(),
                         MessageBox::Icon::Exclamation);
        return;
    }
    tag_ = QStringLiteral("Entry");
    accept();
}

void SetForm::CommandCan_Click() {
    tag_ = QStringLiteral("Cancel");
    reject();
}

void SetForm::CommandHint_Click() {
    const auto hint = DestinationHints::hintFor(ComboPort->currentIndex());
    if (hint)
        MessageBox::show(this, hint->text, hint->title, MessageBox::Icon::None);
}
