// GetKeyValue, the search for the system information tool, and the readers
// of a system with and without a registry.
#include "ui/registry.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>

#include <vector>
#endif

const char* const kSysInfoUnavailable = "System Information Is Unavailable At This Time";

std::optional<RegistryKey> NoRegistry::openKey(RegistryRoot, const QString&) {
    return std::nullopt;
}

std::optional<RegistryRawValue> NoRegistry::queryValue(RegistryKey, const QString&, int) {
    return std::nullopt;
}

void NoRegistry::closeKey(RegistryKey) {}

#ifdef Q_OS_WIN
namespace {

// Read rights only: the keys are only read, and asking for write rights
// under HKEY_LOCAL_MACHINE fails for a user without administrator rights.
constexpr REGSAM kKeyAccess = KEY_READ;

class WindowsRegistry : public RegistryReader {
  public:
    std::optional<RegistryKey> openKey(RegistryRoot, const QString& keyName) override {
        HKEY key = nullptr;
        const std::wstring name = keyName.toStdWString();
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, kKeyAccess, &key) != ERROR_SUCCESS)
            return std::nullopt;
        return reinterpret_cast<RegistryKey>(key);
    }

    std::optional<RegistryRawValue> queryValue(RegistryKey key, const QString& valueName,
                                               int maxChars) override {
        std::vector<wchar_t> buffer(static_cast<std::size_t>(maxChars), L'\0');
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const std::wstring name = valueName.toStdWString();
        if (RegQueryValueExW(reinterpret_cast<HKEY>(key), name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
            return std::nullopt;
        RegistryRawValue value;
        value.type = type;
        if (type == REG_DWORD && size >= sizeof(DWORD))
            value.number = *reinterpret_cast<const DWORD*>(buffer.data());
        else
            value.text =
                QString::fromWCharArray(buffer.data(), static_cast<int>(size / sizeof(wchar_t)));
        return value;
    }

    void closeKey(RegistryKey key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

}  // namespace

std::unique_ptr<RegistryReader> systemRegistry() { return std::make_unique<WindowsRegistry>(); }
#else
std::unique_ptr<RegistryReader> systemRegistry() { return std::make_unique<NoRegistry>(); }
#endif

bool GetKeyValue(RegistryReader& registry, RegistryRoot KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal) {
    const std::optional<RegistryKey> key = registry.openKey(KeyRoot, KeyName);
    if (!key) {
        KeyVal.clear();
        return false;
    }
    const std::optional<RegistryRawValue> raw =
        registry.queryValue(*key, SubKeyRef, kRegistryBufferChars);
    if (!raw) {
        registry.closeKey(*key);
        KeyVal.clear();
        return false;
    }
    if (raw->type == kRegistryString) {
        const qsizetype nul = raw->text.indexOf(QChar(u'\0'));
        KeyVal = nul < 0 ? raw->text : raw->text.left(nul);
    } else if (raw->type == kRegistryNumber) {
        KeyVal = QString::number(raw->number);
    }
    registry.closeKey(*key);
    return true;
}

QString sysInfoPath(RegistryReader& registry,
                    const std::function<bool(const QString&)>& fileExists) {
    QString path;
    if (GetKeyValue(registry, RegistryRoot::LocalMachine,
                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path))
        return path;
    if (GetKeyValue(registry, RegistryRoot::LocalMachine,
                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), path)) {
        path += QStringLiteral("\\MSINFO32.EXE");
        if (fileExists(path)) return path;
    }
    return QString();
}
