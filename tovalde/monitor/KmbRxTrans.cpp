#include "KmbRxTrans.h"

#include "Bell.h"
#include "FaxEngine.h"
#include "FormControls.h"
#include "HelpViewer.h"
#include "IniFile.h"
#include "KMB95_DDE.h"
#include "KmBell.h"
#include "KmbDocument.h"
#include "Main.h"
#include "MessageBox.h"
#include "MonitorLog.h"
#include "QtPrinters.h"
#include "ReceivedFaxPrinter.h"
#include "Twips.h"
#include "VbValue.h"
#include "WindowsPaths.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>

namespace {

const QString kTitle = QStringLiteral("KORIMBA 自動転送");
const QString kWaitingSuffix = QStringLiteral(" [待機中]");
const QString kSuiteProfile = QStringLiteral("KMB32.ini");
const QString kMonitorSection = QStringLiteral("Monitor");
const QString kFolderGuide = QStringLiteral("KORIMBAマネージャで受信フォルダを設定してください");

constexpr int kClientWidth = 7860;
constexpr int kClientHeight = 4230;
constexpr int kStatusImages = 29;
constexpr int kCloseRetryMilliseconds = 50;

// Switched-off rule rows are drawn in fixed greys; switched-on ones in the system's colours for
// window backgrounds and window text.
const QColor kOffBackground(192, 192, 192);
const QColor kOffText(128, 128, 128);

using FormControls::named;
using FormControls::place;

short checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

// The part the window was given, or else the one it makes and keeps.
template <typename T> T& ownedOr(T* given, std::unique_ptr<T>& owned, std::unique_ptr<T> made) {
    if (given)
        return *given;
    owned = std::move(made);
    return *owned;
}

void setCheckValue(QCheckBox* box, short value) {
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

} // namespace

KmbRxTrans::KmbRxTrans(FaxEngine& engine, MonitorLink& link, const Clock& clock, Printers* printers,
                       FaxDocument* document, QWidget* parent)
    : QMainWindow(parent), engine_(engine), link_(link), waiting_(engine, clock, *this),
      abortProgram_([](int code) { std::exit(code); }),
      printers_(ownedOr<Printers>(printers, ownPrinters_, std::make_unique<QtPrinters>())),
      document_(ownedOr<FaxDocument>(document, ownDocument_, std::make_unique<KmbDocument>())) {
    setObjectName(QStringLiteral("KmbRxTrans"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    for (int image = 1; image <= kStatusImages; ++image)
        ImageListIcon.append(
            QPixmap(QStringLiteral(":/status/icon%1.png").arg(image, 2, 10, QLatin1Char('0'))));
    buildControls();
    buildMenus();
    connectRuleEditing();
    setWindowTitle(kTitle);
    connect(&engine_, &FaxEngine::EngineNotify, this, &KmbRxTrans::KORIMBA_EngineNotify);
}

KmbRxTrans::~KmbRxTrans() = default;

void KmbRxTrans::setAbortProgram(std::function<void(int)> abortProgram) {
    abortProgram_ = std::move(abortProgram);
}

void KmbRxTrans::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight));
    setCentralWidget(client);

    TimerIDLE = named(new QTimer(this), "TimerIDLE");
    TimerIDLE->setInterval(500);
    connect(TimerIDLE, &QTimer::timeout, this, [this] { waiting_.TimerIDLE_Timer(); });

    ImageStatusIcon = named(new QLabel(client), "ImageStatusIcon");
    place(ImageStatusIcon, 6930, 90, 615, 615);
    ImageStatusIcon->setAlignment(Qt::AlignCenter);
    ImageStatusIcon->installEventFilter(this);
    showStatusImage(1);

    CheckTransAll = named(new QCheckBox(QStringLiteral("すべて"), client), "CheckTransAll");
    place(CheckTransAll, 255, 510, 1020, 255);
    LabelTo = named(new QLabel(QStringLiteral("転送先："), client), "LabelTo");
    place(LabelTo, 240, 960, 915, 225);
    LabelPort = named(new QLabel(client), "LabelPort");
    place(LabelPort, 1305, 900, 1950, 285);
    LabelAddress = named(new QLabel(client), "LabelAddress");
    place(LabelAddress, 3285, 900, 3570, 285);
    for (QLabel* label : {LabelPort, LabelAddress}) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    CommandSet = named(new QPushButton(QStringLiteral("設定"), client), "CommandSet");
    FormControls::makeCommandButton(CommandSet);
    place(CommandSet, 6930, 900, 645, 280);
    CheckRecvFolder =
        named(new QCheckBox(QStringLiteral("受信フォルダ"), client), "CheckRecvFolder");
    place(CheckRecvFolder, 255, 1350, 1785, 255);

    ListViewFolder = named(new QTreeWidget(client), "ListViewFolder");
    place(ListViewFolder, 240, 1710, 7365, 2280);
    ListViewFolder->setRootIsDecorated(false);
    ListViewFolder->setItemsExpandable(false);
    ListViewFolder->setUniformRowHeights(true);
    ListViewFolder->setSelectionMode(QAbstractItemView::SingleSelection);
    // The columns keep the widths they are given; a stretched last column would store a width
    // the user never chose.
    ListViewFolder->header()->setStretchLastSection(false);
    connect(ListViewFolder->header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int newSize) {
                // Widths are kept in twips; a pixel width that merely rounds the kept value
                // must not overwrite it.
                if (column < 4 && Twips::toPixels(qRound(columnWidths_[column])) != newSize)
                    columnWidths_[column] = static_cast<float>(Twips::fromPixels(newSize));
            });

    TextFolderGuide = named(new QLineEdit(kFolderGuide, client), "TextFolderGuide");
    place(TextFolderGuide, 1485, 2655, 5145, 375);
    TextFolderGuide->setReadOnly(true);
    TextFolderGuide->setFrame(false);
    TextFolderGuide->setAlignment(Qt::AlignCenter);
    TextFolderGuide->setFocusPolicy(Qt::NoFocus);
    TextFolderGuide->raise();

    PicturePrnWork = named(new QLabel(client), "PicturePrnWork");
    PicturePrnWork->hide();

    for (int i = 0; i < 2; ++i) {
        LineSep[i] = new QFrame(client);
        LineSep[i]->setObjectName(QStringLiteral("LineSep%1").arg(i));
        LineSep[i]->setAutoFillBackground(true);
        QPalette palette = LineSep[i]->palette();
        palette.setColor(QPalette::Window, i == 0 ? QColor(128, 128, 128) : QColor(Qt::white));
        LineSep[i]->setPalette(palette);
    }

    connect(CheckTransAll, &QCheckBox::stateChanged, this, [this](int state) {
        // A grey box comes only from the stored setting; the user toggles between on and off.
        if (state != Qt::PartiallyChecked)
            CheckTransAll->setTristate(false);
        CheckTransAll_Click();
    });
    connect(CheckRecvFolder, &QCheckBox::stateChanged, this, [this](int state) {
        if (state != Qt::PartiallyChecked)
            CheckRecvFolder->setTristate(false);
        INS_CheckComboPort();
    });
}

void KmbRxTrans::buildMenus() {
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& shortcut = {}) {
        auto* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        return action;
    };
    MenuExec = named(menuBar()->addMenu(QStringLiteral("実行(&R)")), "MenuExec");
    MenuExecWait = item(MenuExec, "MenuExecWait", QStringLiteral("受信待機(&W)"),
                        QKeySequence(Qt::CTRL | Qt::Key_W));
    MenuExecBreak = item(MenuExec, "MenuExecBreak", QStringLiteral("中断(&B)"),
                         QKeySequence(Qt::CTRL | Qt::Key_B));
    MenuExecBreak->setEnabled(false);
    MenuExecLine1 = MenuExec->addSeparator();
    MenuExecLine1->setObjectName(QStringLiteral("MenuExecLine1"));
    MenuExecExit = item(MenuExec, "MenuExecExit", QStringLiteral("終了(&X)"),
                        QKeySequence(Qt::CTRL | Qt::Key_Q));

    MenuSet = named(menuBar()->addMenu(QStringLiteral("設定(&S)")), "MenuSet");
    MenuSetBell = item(MenuSet, "MenuSetBell", QStringLiteral("ポケベル登録(&P)..."),
                       QKeySequence(Qt::CTRL | Qt::Key_P));
    MenuSetAuto = item(MenuSet, "MenuSetAuto", QStringLiteral("起動時に自動的に受信待機(&A)"));
    MenuSetMonExit = item(MenuSet, "MenuSetMonExit",
                          QStringLiteral("受信待機中断時に通信マネージャを終了する(&X)"));
    // A click inverts the check mark; the options are read where they act.
    for (QAction* option : {MenuSetAuto, MenuSetMonExit})
        option->setCheckable(true);

    MenuHelp = named(menuBar()->addMenu(QStringLiteral("ヘルプ(&H)")), "MenuHelp");
    MenuHelpHelp = item(MenuHelp, "MenuHelpHelp", QStringLiteral("ヘルプ(&M)"));
    MenuHelpAbout = item(MenuHelp, "MenuHelpAbout", QStringLiteral("バージョン情報(&A)"));

    // The pop-up menus of the rule rows; they never appear in the menu bar.
    MenuEdit = named(new QMenu(QStringLiteral("編集(&E)"), this), "MenuEdit");
    MenuEditEdit = item(MenuEdit, "MenuEditEdit", QStringLiteral("編集(&E)"));
    MenuEditCan = item(MenuEdit, "MenuEditCan", QStringLiteral("転送しない(&C)"));
    MenuEdit2 = named(new QMenu(QStringLiteral("編集(&E)"), this), "MenuEdit2");
    MenuEditEdit2 = item(MenuEdit2, "MenuEditEdit2", QStringLiteral("編集(&E)"));
    MenuEditCan2 = item(MenuEdit2, "MenuEditCan2", QStringLiteral("転送しない(&C)"));

    connect(MenuExecWait, &QAction::triggered, this, &KmbRxTrans::INS_StartWaiting);
    connect(MenuExecBreak, &QAction::triggered, this, &KmbRxTrans::INS_StopWaiting);
    connect(MenuExecExit, &QAction::triggered, this, &KmbRxTrans::MenuExecExit_Click);
    connect(MenuSetBell, &QAction::triggered, this, &KmbRxTrans::MenuSetBell_Click);
    connect(MenuHelpHelp, &QAction::triggered, this, &KmbRxTrans::MenuHelpHelp_Click);
    connect(MenuHelpAbout, &QAction::triggered, this, &KmbRxTrans::MenuHelpAbout_Click);

    setFixedSize(Twips::toPixels(kClientWidth),
                 Twips::toPixels(kClientHeight) + menuBar()->sizeHint().height());
}

void KmbRxTrans::Form_Load() {
    helpFile_ = WindowsPaths::programDirectory() + QStringLiteral("TOVALDE.HLP");
    setWindowTitle(kTitle);
    iPortPrefixLen_ = PortEncoding::kPortPrefixLen;
    placeSeparatorLines();
    engineLevel_ = engine_.EngineLevel();
    PortEncoding::INS_InitPortList(portTable_);
    INS_bReadFolders();
    INS_GetTempDir();
    strWorkFile_ = strTempDir_ + QStringLiteral("KMBVIEWTEMP.BMP");
    startForwarding();
    strSaveAutoReceive_ =
        IniFile::strReadIni(kSuiteProfile, kMonitorSection, QStringLiteral("AutoReceive"));
    strSaveRingCount_ =
        IniFile::strReadIni(kSuiteProfile, kMonitorSection, QStringLiteral("RingCount"));
    if (MenuSetAuto->isChecked())
        INS_StartWaiting();
}

void KmbRxTrans::placeSeparatorLines() {
    const int width = centralWidget()->width();
    LineSep[0]->setGeometry(0, 0, width, 1);
    LineSep[1]->setGeometry(0, 1, width, 1);
}

void KmbRxTrans::INS_GetTempDir() {
    strTempDir_ = WindowsPaths::temporaryDirectory();
}

void KmbRxTrans::INS_KillWorkFile() {
    if (!strWorkFile_.isEmpty())
        QFile::remove(strWorkFile_);
}

// ---- the rule set -------------------------------------------------------------------------

bool KmbRxTrans::INS_bReadFolders() {
    applyRuleStore(RuleStore::read(portTable_));
    return true;
}

void KmbRxTrans::applyRuleStore(const ForwardingRuleStore& store) {
    MenuSetAuto->setChecked(store.autoWait);
    LabelPort->setText(store.allRule.strPort);
    LabelAddress->setText(store.allRule.strAdr);
    QPoint position = pos();
    if (RuleStore::isStorablePosition(store.formLeft))
        position.setX(Twips::toPixels(qRound(store.formLeft)));
    if (RuleStore::isStorablePosition(store.formTop))
        position.setY(Twips::toPixels(qRound(store.formTop)));
    move(position);
    form2Left_ = store.form2Left;
    form2Top_ = store.form2Top;
    MenuSetMonExit->setChecked(store.closeManager);

    ListViewFolder->clear();
    ListViewFolder->setHeaderLabels({QStringLiteral("受信フォルダ名"), QStringLiteral("種別"),
                                     QStringLiteral("転送先"), QStringLiteral("FAX ID")});
    columnWidths_ = store.columnWidths;
    for (int i = 0; i < 4; ++i)
        ListViewFolder->setColumnWidth(i, Twips::toPixels(qRound(columnWidths_[i])));

    rowsAsRead_ = store.rows;
    folderRows_.clear();
    for (const ReceiveFolderRow& row : store.rows) {
        auto* item = new QTreeWidgetItem(ListViewFolder);
        item->setText(ColumnFolder, row.strFolder);
        item->setText(ColumnPort, row.rule.strPort);
        item->setText(ColumnAdr, row.rule.strAdr);
        item->setText(ColumnFaxId, row.strFaxId);
        folderRows_.append(item);
    }
    const bool anyFolder = !store.rows.isEmpty();
    TextFolderGuide->setVisible(!anyFolder);
    CheckRecvFolder->setEnabled(anyFolder);

    // Setting a box to its current state raises no change, so both states are applied here.
    setCheckValue(CheckTransAll, store.allSwitch);
    setCheckValue(CheckRecvFolder, store.folderSwitch);
    INS_CheckComboPort();
    CheckTransAll_Click();
}

ForwardingRuleStore KmbRxTrans::ruleStore() const {
    ForwardingRuleStore store;
    store.allRule = {LabelPort->text(), LabelAddress->text()};
    store.allSwitch = checkValue(CheckTransAll);
    store.folderSwitch = checkValue(CheckRecvFolder);
    store.autoWait = MenuSetAuto->isChecked();
    store.closeManager = MenuSetMonExit->isChecked();
    store.formLeft = static_cast<float>(Twips::fromPixels(x()));
    store.formTop = static_cast<float>(Twips::fromPixels(y()));
    store.form2Left = form2Left_;
    store.form2Top = form2Top_;
    store.columnWidths = columnWidths_;
    store.rows = rowsAsRead_;
    for (int i = 0; i < folderRows_.size(); ++i) {
        const QTreeWidgetItem* item = folderRows_.at(i);
        ReceiveFolderRow& row = store.rows[i];
        row.strFolder = item->text(ColumnFolder);
        row.rule = {item->text(ColumnPort), item->text(ColumnAdr)};
        row.strFaxId = item->text(ColumnFaxId);
    }
    return store;
}

bool KmbRxTrans::INS_bWriteFolders() {
    RuleStore::write(ruleStore(), portTable_);
    return true;
}

bool KmbRxTrans::INS_bCheckPortAvailable() const {
    return RuleStore::INS_bCheckPortAvailable(ruleStore());
}

void KmbRxTrans::CheckTransAll_Click() {
    const bool on = CheckTransAll->checkState() == Qt::Checked;
    for (QWidget* control : {static_cast<QWidget*>(LabelPort), static_cast<QWidget*>(LabelAddress),
                             static_cast<QWidget*>(LabelTo), static_cast<QWidget*>(CommandSet)})
        control->setEnabled(on);
    for (QLabel* label : {LabelPort, LabelAddress}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window,
                         on ? QGuiApplication::palette().color(QPalette::Base) : kOffBackground);
        // A switched-off rule is still read: its text must stand out from the grey.
        palette.setColor(QPalette::Disabled, QPalette::WindowText, kOffText);
        label->setPalette(palette);
    }
}

void KmbRxTrans::INS_CheckComboPort() {
    const bool on = CheckRecvFolder->checkState() == Qt::Checked;
    QPalette palette = ListViewFolder->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Text,
                         on ? QGuiApplication::palette().color(QPalette::Text) : kOffText);
    ListViewFolder->setPalette(palette);
    ListViewFolder->setEnabled(on);
}

// ---- reception waiting --------------------------------------------------------------------

void KmbRxTrans::INS_StartWaiting() {
    double rings = VbValue::numericValue(strSaveRingCount_);
    if (rings == 0)
        rings = 1;
    if (!INS_bCheckPortAvailable()) {
        MessageBox::show(this, QStringLiteral("転送先が設定されていません."), kTitle,
                         MessageBox::Icon::Exclamation);
        return;
    }
    setCursor(Qt::WaitCursor);
    INS_bWriteFolders();
    try {
        // A ring count no 16-bit number holds is a damaged profile; one ring still answers.
        engine_.SetAutoReceive(VbValue::toInteger16(rings).value_or(1));
    } catch (const std::exception& e) {
        // Its result is not examined either; whether the monitor starts decides.
        qCWarning(lcMonitor) << "setting automatic reception failed:" << e.what();
    }
    if (!INS_StartMonitor())
        return;
    unsetCursor();
    setWaitingMenus(true);
    setWindowTitle(kTitle + kWaitingSuffix);
    letEventsRun();
    waiting_.enter();
    TimerIDLE->start();
}

bool KmbRxTrans::INS_StartMonitor() {
    bool started = false;
    try {
        const int result = engine_.StartMonitor(5);
        started = result == 0 || result == -3;
    } catch (const std::exception& e) {
        qCWarning(lcMonitor) << "starting the communication monitor failed:" << e.what();
    }
    if (!started) {
        MessageBox::show(this, QStringLiteral("通信モニタ起動に失敗しました."), kTitle,
                         MessageBox::Icon::Critical);
        abortProgram_(EXIT_FAILURE);
    }
    return started;
}

void KmbRxTrans::INS_StopWaiting() {
    TimerIDLE->stop();
    waiting_.leave();
    INS_EndProcess();
    setWindowTitle(kTitle);
    setWaitingMenus(false);
}

void KmbRxTrans::setWaitingMenus(bool waiting) {
    MenuExecWait->setEnabled(!waiting);
    MenuExecBreak->setEnabled(waiting);
}

void KmbRxTrans::INS_EndProcess() {
    INS_KillWorkFile();
    if (MenuSetMonExit->isChecked()) {
        // A manager that cannot be closed must not keep the monitor settings from coming back.
        try {
            engine_.CloseManager();
        } catch (const std::exception& e) {
            qCWarning(lcMonitor) << "closing the communication manager failed:" << e.what();
        }
    }
    IniFile::bWriteIni(kSuiteProfile, kMonitorSection, QStringLiteral("AutoReceive"),
                       strSaveAutoReceive_);
    IniFile::bWriteIni(kSuiteProfile, kMonitorSection, QStringLiteral("RingCount"),
                       strSaveRingCount_);
}

void KmbRxTrans::startForwarding() {
    faxPrinter_ = std::make_unique<ReceivedFaxPrinter>(document_, printers_, strWorkFile_,
                                                       [this] { letEventsRun(); });
    ForwardingRoutines routines;
    routines.printerInstalled = [this](const QString& strPrnName) {
        return printers_.deviceNames().contains(strPrnName);
    };
    routines.INS_PrnOut = [this](const QString& strFileName, const QString& strPrnName) {
        faxPrinter_->INS_PrnOut(strFileName, strPrnName);
    };
    routines.iFindBellTitle = &Main::iFindBellTitle;
    routines.iCallBell = &Bell::iCallBell;
    routines.bMonitorGoIdle = [this](const QString& linkText) {
        return KMB95_DDE::bMonitorGoIdle(engine_, link_, linkText);
    };
    routines.bMonitorGoActive = [this](const QString& linkText) {
        return KMB95_DDE::bMonitorGoActive(engine_, link_, linkText);
    };
    forwarder_ =
        std::make_unique<ReceptionForwarder>(engine_, document_, std::move(routines),
                                             static_cast<ForwardingWindow&>(*this), forwardingLog_);
}

// Nothing is forwarded before the start-up steps have run: there is no work file to print with.
void KmbRxTrans::INS_Transmit(int index) {
    if (!forwarder_)
        return;
    int Lptr = index;
    forwarder_->INS_Transmit(Lptr);
}

QString KmbRxTrans::monitorLinkText() const {
    return LabelAddress->text();
}

void KmbRxTrans::setLastRxTime(const QString& time) {
    waiting_.strLastRxTime = time;
}

QString KmbRxTrans::currentTitle() const {
    return windowTitle();
}

void KmbRxTrans::showTitle(const QString& title) {
    setWindowTitle(title);
}

void KmbRxTrans::KORIMBA_EngineNotify() {
    waiting_.INS_PollRxStatus();
}

void KmbRxTrans::ImageStatusIcon_Click() {
    INS_StopWaiting();
}

bool KmbRxTrans::isWindowMinimized() const {
    return isMinimized();
}

void KmbRxTrans::showStatusImage(int image) {
    if (image < 1 || image > ImageListIcon.size())
        return;
    ImageStatusIcon->setPixmap(ImageListIcon.at(image - 1));
    statusImage_ = image;
}

int KmbRxTrans::statusImageCount() const {
    return ImageListIcon.size();
}

void KmbRxTrans::letEventsRun() {
    QCoreApplication::processEvents();
}

// ---- menus, help and shutdown -------------------------------------------------------------

void KmbRxTrans::MenuExecExit_Click() {
    close();
}

void KmbRxTrans::closeEvent(QCloseEvent* event) {
    // A close arriving through the events a running poll lets run (the user, or the system's
    // SIGTERM) waits for that poll to end: shutting down under it would restore the monitor
    // settings, close the manager and delete the work file while a document is still being
    // forwarded.
    if (waiting_.bPolling) {
        event->ignore();
        QTimer::singleShot(kCloseRetryMilliseconds, this, [this] { close(); });
        return;
    }
    if (!shutDown_) {
        shutDown_ = true;
        INS_bWriteFolders();
        INS_EndProcess();
        TimerIDLE->stop();
        if (helpViewer_)
            helpViewer_->close();
    }
    event->accept();
    QCoreApplication::quit();
}

void KmbRxTrans::MenuHelpHelp_Click() {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
}

void KmbRxTrans::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        showHelp();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void KmbRxTrans::showHelp() {
    if (!helpViewer_)
        helpViewer_ = new HelpViewer(this);
    helpViewer_->showContents(helpFile_);
}

void KmbRxTrans::MenuHelpAbout_Click() {
    MessageBox::show(this,
                     QStringLiteral("KORIMBA 自動転送 バージョン3.03\r\n\r\n"
                                    "Copyright (C) 1997-2003 TOVALDE 開発グループ. "
                                    "All rights reserved.\r\n"),
                     QStringLiteral("バージョン情報"), MessageBox::Icon::None);
}

void KmbRxTrans::MenuSetBell_Click() {
    KmBell dialog(this);
    dialog.exec();
}

bool KmbRxTrans::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LabelPort || watched == LabelAddress)
        ruleLabelEvent(*static_cast<QWidget*>(watched), event);
    else if (watched == ListViewFolder->viewport())
        folderListEvent(event);
    if (watched == ImageStatusIcon && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && ImageStatusIcon->rect().contains(mouse->pos())) {
            ImageStatusIcon_Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
