#pragma once

#include <QDialog>
#include <QString>

#include <array>

class ItemList;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

// The forwarding destination dialog: the type of one rule and, for that type, the destination.
// The caller sets the caption, selects the type in ComboPort, fills and empties the address
// boxes, puts the stored values in and runs exec(). Once the dialog is hidden, tag() is "Entry"
// when the user registered; the values stay in the controls (type index in ComboPort, the
// destination in ComboAddress[type], the route in ComboRoute). One dialog serves one editing.
class SetForm : public QDialog {
    Q_OBJECT

public:
    // `engineLevel` is the fax engine's capability level read at start-up; routes are offered
    // from level 2 on.
    explicit SetForm(int engineLevel, QWidget* parent = nullptr);

    int g_varEngineLevel() const { return engineLevel_; }

    // "Entry" after "登録", "Cancel" after "キャンセル", empty when the window was closed
    // another way.
    QString tag() const { return tag_; }

    QFrame* Image1 = nullptr;
    QLabel* LabelPort = nullptr;
    QComboBox* ComboPort = nullptr;
    QLabel* LabelRoute = nullptr;
    QComboBox* ComboRoute = nullptr;
    QLabel* LabelAddress = nullptr;
    // Indexed by forwarding type; boxes 0 and 1 have an edit field, 2 and 3 are selection lists
    // that start without a selection however they are filled.
    std::array<QComboBox*, 4> ComboAddress{};
    QPushButton* CommandHint = nullptr;
    QPushButton* CommandEntry = nullptr;
    QPushButton* CommandCan = nullptr;

    // Where the suite's files are; worked out anew each time the route list is built.
    QString strSuiteIniPath;
    QString strSuiteDir;
    QString strIfaxProfPath;

    bool INS_bCheckAdr(const QString& adr) const;
    void INS_SetRouteList();
    void INS_varGetInfName();
    void INS_GetIfaxProfile(ItemList& varLstObj);

    void ComboPort_Click();
    void ComboRoute_Change();
    void ComboRoute_Click();
    void CommandEntry_Click();
    void CommandCan_Click();
    void CommandHint_Click();

private:
    void buildControls();
    void chainTabOrder();
    void emptyRouteList();
    void offerPagerRegistration();

    int engineLevel_;
    QString tag_;
};
