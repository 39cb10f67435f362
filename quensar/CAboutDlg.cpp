#include "CAboutDlg.h"

#include "DialogFont.h"
#include "DialogUnits.h"
#include "ProgramIcon.h"
#include "VersionInfo.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 ") + VersionInfo::internalName());
    setFont(quensarDialogFont());
    const DialogUnits du(font());
    setFixedSize(du.size(211, 93));

    const QIcon icon = ProgramIcon::icon();
    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("IDR_MAINFRAME"));
    const QSize iconSize = ProgramIcon::standardSize();
    iconLabel->setPixmap(icon.pixmap(iconSize));
    iconLabel->setGeometry(QRect(QPoint(du.x(18), du.y(13)), iconSize));

    auto* version = new QLabel(this);
    version->setObjectName(QStringLiteral("IDC_STATIC_VERSION"));
    version->setTextFormat(Qt::PlainText);
    version->setText(QStringLiteral("KORIMBA クライアント共有名設定プログラム\n") +
                     QString(14, QLatin1Char(' ')) + VersionInfo::internalName() +
                     QStringLiteral(" Ver. ") + VersionInfo::shortVersion());
    version->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    version->setGeometry(du.rect(45, 17, 133, 17));
    QString details;
    for (const auto& [name, value] : VersionInfo::fields())
        details += name + QStringLiteral(": ") + value + QLatin1Char('\n');
    version->setToolTip(details.trimmed());

    auto* notice = new QLabel(VersionInfo::legalCopyright(), this);
    notice->setObjectName(QStringLiteral("IDC_STATIC_NOTICE"));
    notice->setTextFormat(Qt::PlainText);
    notice->setGeometry(du.rect(37, 45, 128, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(du.rect(83, 65, 32, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
