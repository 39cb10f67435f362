#include "CShareNameApp.h"

#include "CShareNameDlg.h"
#include "MessageBox.h"
#include "Registry.h"
#include "VersionInfo.h"

using namespace Registry;

namespace {

const QByteArray kParametersKey = "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters";
const QByteArray kSharesKey = "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares";
const QByteArray kNullSessionShares = "NullSessionShares";

const QString kNoParameters = QStringLiteral("共有フォルダを設定するレジストリがありません");
const QString kNoSharesKey = QStringLiteral("共有フォルダ名のレジストリがありません");
const QString kNoShares = QStringLiteral("共有するフォルダがありません");
const QString kCannotWrite = QStringLiteral("共有フォルダを設定するレジストリに書き込みできません");
const QString kTooManyShares =
    QStringLiteral("共有フォルダが多すぎます。共有フォルダ名は 257 個まで扱えます");
const QString kTooManySlots = QStringLiteral(
    "共有名が多すぎます。設定済みの共有名と共有フォルダ名は合わせて 257 個まで扱えます");
const QString kValueTooLong = QStringLiteral(
    "選択した共有名が多すぎるため、レジストリに書き込みできません。共有名は合わせて 1,028 "
    "バイトまで書き込めます");

} // namespace

CShareNameApp::CShareNameApp() : m_pszAppName(VersionInfo::internalName()) {}

bool CShareNameApp::InitInstance() {
    m_tables = ShareNameTables{};
    if (!readShareNames())
        return false;

    CShareNameDlg dlg(m_tables);
    m_pMainWnd = &dlg;
    const int nResponse = dlg.exec();
    m_pMainWnd = nullptr;
    if (nResponse == QDialog::Accepted)
        writeNullSessionShares();
    return false;
}

bool CShareNameApp::readShareNames() {
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParametersKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        stop(kNoParameters);
        return false;
    }
    QByteArray value;
    DWORD size = ShareNameTables::kExistingValue;
    const LSTATUS read = RegQueryValueEx(hKey, kNullSessionShares, nullptr, &value, &size);
    RegCloseKey(hKey);
    if (read != ERROR_SUCCESS) {
        stop(kNoParameters);
        return false;
    }
    m_tables.readNullShares(value);

    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSharesKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        stop(kNoSharesKey);
        return false;
    }
    // Enumeration stops at the first value it cannot return whole, whatever the reason.
    bool tooMany = false;
    for (DWORD index = 0;; ++index) {
        QByteArray name;
        QByteArray data;
        DWORD nameSize = ShareNameTables::kNameBuffer;
        DWORD dataSize = ShareNameTables::kNameBuffer;
        if (RegEnumValue(hKey, index, &name, &nameSize, nullptr, &data, &dataSize) != ERROR_SUCCESS)
            break;
        if (index == ShareNameTables::kSlots) {
            tooMany = true;
            break;
        }
        m_tables.g_aszShareName.append(name);
    }
    RegCloseKey(hKey);
    m_tables.g_nShareName = int(m_tables.g_aszShareName.size());

    if (tooMany) {
        stop(kTooManyShares);
        return false;
    }
    if (m_tables.g_nShareName == 0) {
        stop(kNoShares);
        return false;
    }
    if (m_tables.g_nNullShare + m_tables.g_nShareName > ShareNameTables::kSlots) {
        stop(kTooManySlots);
        return false;
    }
    m_tables.addShareSlots();
    return true;
}

void CShareNameApp::writeNullSessionShares() {
    const std::optional<QByteArray> value = m_tables.newValue();
    if (!value) {
        stop(kValueTooLong);
        return;
    }
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kParametersKey, 0, KEY_ALL_ACCESS, &hKey) !=
        ERROR_SUCCESS) {
        stop(kCannotWrite);
        return;
    }
    const LSTATUS written = RegSetValueEx(hKey, kNullSessionShares, REG_MULTI_SZ, *value);
    RegCloseKey(hKey);
    if (written != ERROR_SUCCESS)
        stop(kCannotWrite);
}

void CShareNameApp::stop(const QString& message) const {
    MessageBox::show(nullptr, message, m_pszAppName, MessageBox::Icon::Critical);
}
