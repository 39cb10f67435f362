#include "HelpViewer.h"

#include <QFile>
#include <QFileInfo>

HelpViewer::HelpViewer(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("KORIMBA 自動転送 ヘルプ"));
    setOpenExternalLinks(false);
    resize(640, 560);
}

void HelpViewer::showContents(const QString& helpFile) {
    QFile file(helpFile);
    if (file.open(QIODevice::ReadOnly)) {
        setSearchPaths({QFileInfo(helpFile).absolutePath()});
        setHtml(QString::fromUtf8(file.readAll()));
    } else {
        setPlainText(QStringLiteral("ヘルプファイル %1 を開けません.").arg(helpFile));
    }
    moveCursor(QTextCursor::Start);
    show();
    raise();
    activateWindow();
}
