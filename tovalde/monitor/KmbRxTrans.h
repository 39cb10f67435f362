#pragma once

#include "ForwardingLog.h"
#include "ForwardingRuleStore.h"
#include "PortEncoding.h"
#include "ReceptionForwarder.h"
#include "ReceptionWaiting.h"

#include <QMainWindow>
#include <QPixmap>
#include <QVector>

#include <array>
#include <functional>
#include <memory>

class Clock;
class FaxDocument;
class FaxEngine;
class HelpViewer;
class ItemList;
class MonitorLink;
class Printers;
class ReceivedFaxPrinter;
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

// The main window of the forwarding program. It owns every control and the state that outlives
// a command: the rule set (its labels, check boxes and list rows), the waiting cycle, the
// temporary work file and the [Monitor] values found at start-up, the forwarding of new
// receptions with its log, and the printing of received faxes.
class KmbRxTrans : public QMainWindow, private WaitingWindow, private ForwardingWindow {
    Q_OBJECT
public:
    // `printers` and `document` are the printer system and the fax document control to forward
    // with; without them the window uses the system's printers and the suite's document control.
    KmbRxTrans(FaxEngine& engine, MonitorLink& link, const Clock& clock,
               Printers* printers = nullptr, FaxDocument* document = nullptr,
               QWidget* parent = nullptr);
    ~KmbRxTrans() override;

    // The start-up steps, run once before the window is first shown.
    void Form_Load();

    // Ends the program at once, without the shutdown steps, after a failed monitor start.
    // Tests replace it.
    void setAbortProgram(std::function<void(int exitCode)> abortProgram);

    void INS_StartWaiting();
    void INS_StopWaiting();
    // Starts the communication monitor; on failure tells the user and ends the program.
    bool INS_StartMonitor();
    void INS_EndProcess();
    void INS_GetTempDir();
    void INS_KillWorkFile();
    bool INS_bReadFolders();
    bool INS_bWriteFolders();
    bool INS_bCheckPortAvailable() const;
    void INS_Transmit(int index) override;

    // The rule set as the window holds it, rows in profile order.
    ForwardingRuleStore ruleStore() const override;
    // The list row created for "AGENT-Recv" key i+1, wherever sorting has put it.
    QTreeWidgetItem* folderRow(int i) const { return folderRows_.at(i); }

    ReceptionWaiting& waiting() { return waiting_; }
    // The suite's controls the window holds; the monitor link's data is LabelAddress's text.
    FaxEngine& engine() { return engine_; }
    MonitorLink& monitorLink() { return link_; }
    int g_varEngineLevel() const override { return engineLevel_; }
    QString helpFile() const { return helpFile_; }
    QString strTempDir() const { return strTempDir_; }
    QString strWorkFile() const { return strWorkFile_; }
    QString strSaveAutoReceive() const { return strSaveAutoReceive_; }
    QString strSaveRingCount() const { return strSaveRingCount_; }
    int iPortPrefixLen() const { return iPortPrefixLen_; }
    // 1-based image of the image list the status icon shows; 0 before any.
    int statusImage() const { return statusImage_; }
    HelpViewer* helpViewer() const { return helpViewer_; }
    ForwardingLog& forwardingLog() { return forwardingLog_; }

    void MenuExecExit_Click();
    void MenuHelpHelp_Click();
    void MenuHelpAbout_Click();
    void MenuSetBell_Click();
    void ImageStatusIcon_Click();
    void KORIMBA_EngineNotify();
    void CheckTransAll_Click();
    void INS_CheckComboPort();

    // The all-folders row and the receive-folder list. Buttons are 1 left, 2 right.
    short iMouseButton = 0;    // button of the last press on the rule labels or the list
    bool bItemClicked = false; // the last press on the list hit a row
    void CommandSet_Click();
    void MenuEditCan_Click();
    void MenuEditCan2_Click();
    void ListViewFolder_MouseDown(int Button);
    void ListViewFolder_ItemClick(QTreeWidgetItem* Item);
    void ListViewFolder_MouseUp(int Button, const QPoint& globalPos);
    void ListViewFolder_DblClick();
    // `k` counts the columns from 1.
    void ListViewFolder_ColumnClick(int k);
    void INS_FolderEdit();
    // Runs the destination dialog for one rule; true when the user registered, with `Port` and
    // `Adr` then holding the new rule.
    bool INS_bEntryProcess(const QString& Folder, QString& Port, QString& Adr);
    void INS_SetFaxList(ItemList& LstObj) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum FolderColumn { ColumnFolder, ColumnPort, ColumnAdr, ColumnFaxId };

    void buildControls();
    void buildMenus();
    void placeSeparatorLines();
    void applyRuleStore(const ForwardingRuleStore& store);
    void connectRuleEditing();
    void startForwarding();
    void ruleLabelEvent(const QWidget& label, QEvent* event);
    void folderListEvent(QEvent* event);
    // The mouse handlers both rule labels share: LabelPort_MouseDown and LabelAddress_MouseDown,
    // LabelPort_DblClick and LabelAddress_DblClick, LabelPort_MouseUp and LabelAddress_MouseUp.
    void ruleLabel_MouseDown(int Button);
    void ruleLabel_DblClick();
    void ruleLabel_MouseUp(int Button, const QPoint& globalPos);
    void placeDestinationDialog(QWidget& dialog) const;
    void keepDestinationDialogPosition(const QWidget& dialog);
    void showHelp();
    void setWaitingMenus(bool waiting);

    bool isWindowMinimized() const override;
    void showStatusImage(int image) override;
    int statusImageCount() const override;
    void letEventsRun() override;

    QString monitorLinkText() const override;
    void setLastRxTime(const QString& time) override;
    QString currentTitle() const override;
    void showTitle(const QString& title) override;

    FaxEngine& engine_;
    MonitorLink& link_;
    ReceptionWaiting waiting_;
    std::function<void(int)> abortProgram_;

    PortEncoding::PortTable portTable_;
    int engineLevel_ = 0;
    int iPortPrefixLen_ = 0;
    QString helpFile_;
    QString strTempDir_;
    QString strWorkFile_;
    QString strSaveAutoReceive_;
    QString strSaveRingCount_;
    bool shutDown_ = false;

    // What the list rows do not show but writing needs, and what the controls do not hold.
    QVector<ReceiveFolderRow> rowsAsRead_;
    QVector<QTreeWidgetItem*> folderRows_; // profile order
    float form2Left_ = 0;
    float form2Top_ = 0;
    std::array<float, 4> columnWidths_{};

    Qt::SortOrder sortOrder_ = Qt::AscendingOrder; // of the next header click

    QVector<QPixmap> ImageListIcon;
    int statusImage_ = 0;
    HelpViewer* helpViewer_ = nullptr;

    // Forwarding and printing. The print routine and the forwarder exist once the start-up
    // steps have found the work file.
    std::unique_ptr<Printers> ownPrinters_;
    std::unique_ptr<FaxDocument> ownDocument_;
    Printers& printers_;
    FaxDocument& document_;
    ForwardingLog forwardingLog_;
    std::unique_ptr<ReceivedFaxPrinter> faxPrinter_;
    std::unique_ptr<ReceptionForwarder> forwarder_;

public:
    // Controls and menu items under their own names.
    QTimer* TimerIDLE = nullptr;
    QLabel* ImageStatusIcon = nullptr;
    QCheckBox* CheckTransAll = nullptr;
    QLabel* LabelTo = nullptr;
    QLabel* LabelPort = nullptr;
    QLabel* LabelAddress = nullptr;
    QPushButton* CommandSet = nullptr;
    QCheckBox* CheckRecvFolder = nullptr;
    QTreeWidget* ListViewFolder = nullptr;
    QLineEdit* TextFolderGuide = nullptr;
    QLabel* PicturePrnWork = nullptr;
    QFrame* LineSep[2] = {nullptr, nullptr};

    QMenu* MenuExec = nullptr;
    QAction* MenuExecWait = nullptr;
    QAction* MenuExecBreak = nullptr;
    QAction* MenuExecLine1 = nullptr;
    QAction* MenuExecExit = nullptr;
    QMenu* MenuSet = nullptr;
    QAction* MenuSetBell = nullptr;
    QAction* MenuSetAuto = nullptr;
    QAction* MenuSetMonExit = nullptr;
    QMenu* MenuHelp = nullptr;
    QAction* MenuHelpHelp = nullptr;
    QAction* MenuHelpAbout = nullptr;
    QMenu* MenuEdit = nullptr;
    QAction* MenuEditEdit = nullptr;
    QAction* MenuEditCan = nullptr;
    QMenu* MenuEdit2 = nullptr;
    QAction* MenuEditEdit2 = nullptr;
    QAction* MenuEditCan2 = nullptr;
};
