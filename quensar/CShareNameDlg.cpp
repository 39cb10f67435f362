#include "CShareNameDlg.h"

#include "CAboutDlg.h"
#include "Cp932.h"
#include "DialogFont.h"
#include "DialogUnits.h"
#include "ProgramIcon.h"
#include "ShareNameTables.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

namespace {
// String 101, the window-menu item of the about box; an empty text would leave the item out.
const QString kAboutMenuText = QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(QUENSAR) (&A)...");
} // namespace

CShareNameDlg::CShareNameDlg(ShareNameTables& tables, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_tables(tables), m_hIcon(ProgramIcon::icon()) {
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("QUENSAR"));
    setFont(quensarDialogFont());
    const DialogUnits du(font());
    setFixedSize(du.size(195, 173));

    auto* prompt = new QLabel(
        QStringLiteral("クライアントのシステムで使用する共有名を選択してください"), this);
    prompt->setObjectName(QStringLiteral("IDC_STATIC"));
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    prompt->setGeometry(du.rect(33, 17, 129, 19));

    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("1000"));
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setSortingEnabled(false);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setGeometry(du.rect(31, 42, 134, 89));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(du.rect(36, 143, 50, 14));
    connect(ok, &QPushButton::clicked, this, &CShareNameDlg::accept);

    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(du.rect(110, 143, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_systemMenu = new QMenu(this);
    m_systemMenu->setObjectName(QStringLiteral("systemMenu"));
    appendSystemMenuItem(QStringLiteral("閉じる(&C)\tAlt+F4"), SC_CLOSE);
    auto* openMenu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(openMenu, &QShortcut::activated, this,
            [this] { m_systemMenu->popup(mapToGlobal(QPoint(0, 0))); });

    OnInitDialog();
}

CShareNameDlg::~CShareNameDlg() {
    m_tables.g_pShareList = nullptr;
}

bool CShareNameDlg::OnInitDialog() {
    m_tables.g_pShareList = findChild<QListWidget*>(QStringLiteral("1000"));
    for (int i = 0; i < m_tables.g_nShareName; ++i)
        m_tables.g_pShareList->addItem(Cp932::decode(m_tables.g_aszShareName[i]));

    // An existing entry that names a share of this machine is shown by the list from now on.
    for (int j = 0; j < m_tables.g_nNullShare; ++j) {
        const int item = findStringExact(m_tables.g_aszNullShare[j]);
        if (item >= 0) {
            m_tables.g_aszNullShare[j].clear();
            m_tables.g_pShareList->item(item)->setSelected(true);
        }
    }

    if (!kAboutMenuText.isEmpty()) {
        m_systemMenu->addSeparator();
        appendSystemMenuItem(kAboutMenuText, IDM_ABOUTBOX);
    }

    setWindowIcon(m_hIcon);
    m_tables.g_pShareList->setFocus();
    return true;
}

void CShareNameDlg::appendSystemMenuItem(const QString& text, unsigned nID) {
    QAction* action = m_systemMenu->addAction(text);
    connect(action, &QAction::triggered, this, [this, nID] { OnSysCommand(nID); });
}

// The first item whose text is the whole name, compared without regard to case.
int CShareNameDlg::findStringExact(const QByteArray& name) const {
    const QString text = Cp932::decode(name);
    for (int i = 0; i < m_tables.g_pShareList->count(); ++i) {
        if (m_tables.g_pShareList->item(i)->text().compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void CShareNameDlg::accept() {
    for (int i = 0; i < m_tables.g_nShareName; ++i) {
        QByteArray& slot = m_tables.g_aszNullShare[m_tables.g_nNullShare + i];
        slot.clear();
        const int item = findStringExact(m_tables.g_aszShareName[i]);
        if (item >= 0 && m_tables.g_pShareList->item(item)->isSelected())
            slot = m_tables.g_aszShareName[i];
    }
    QDialog::accept();
}

void CShareNameDlg::OnSysCommand(unsigned nID) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout(this);
        dlgAbout.exec();
    } else if ((nID & 0xFFF0) == SC_CLOSE) {
        close();
    }
}

void CShareNameDlg::contextMenuEvent(QContextMenuEvent* event) {
    m_systemMenu->popup(event->globalPos());
}
