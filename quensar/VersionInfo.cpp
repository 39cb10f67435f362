#include "VersionInfo.h"

namespace VersionInfo {
namespace {

// name=value pairs, each ended by a zero byte; kept in the executable even though only the
// functions below read it.
__attribute__((used, section(".quensar.version"))) const char kEmbedded[] =
    "FileVersion=2.00.99.001\0"
    "FileVersionBinary=2.0.0.1\0"
    "ProductVersion=2.00.99.001\0"
    "ProductVersionBinary=2.0.0.1\0"
    "FileDescription=クライアント共有名設定\0"
    "Comments=KORIMBA ＮＰサーバー用 クライアント共有名設定 プログラム\0"
    "CompanyName=DORVATEK\0"
    "LegalCopyright=Copyright (C) 1997-2026 DORVATEK\0"
    "ProductName=KORIMBA\0"
    "InternalName=QUENSAR\0"
    "OriginalFilename=QUENSAR.EXE\0"
    "Translation=0411 04B0\0";

QString field(const QString& name) {
    for (const auto& [key, value] : fields()) {
        if (key == name)
            return value;
    }
    return QString();
}

} // namespace

QList<QPair<QString, QString>> fields() {
    QList<QPair<QString, QString>> out;
    const QByteArray block(kEmbedded, sizeof(kEmbedded) - 1);
    for (const QByteArray& entry : block.split('\0')) {
        const qsizetype eq = entry.indexOf('=');
        if (eq > 0)
            out.append({QString::fromUtf8(entry.left(eq)), QString::fromUtf8(entry.mid(eq + 1))});
    }
    return out;
}

QString fileVersion() {
    return field(QStringLiteral("FileVersion"));
}

QString productVersion() {
    return field(QStringLiteral("ProductVersion"));
}

QString internalName() {
    return field(QStringLiteral("InternalName"));
}

QString shortVersion() {
    return productVersion().section(QLatin1Char('.'), 0, 1);
}

QString legalCopyright() {
    return field(QStringLiteral("LegalCopyright"));
}

} // namespace VersionInfo
