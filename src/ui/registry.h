// Reading the Windows registry through an abstract reader, so that the steps
// of GetKeyValue and the search for the system information tool run in tests
// on any platform. The real reader exists on Windows only.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>

enum class RegistryRoot { LocalMachine };

// Registry value types that GetKeyValue turns into text.
inline constexpr quint32 kRegistryString = 1;
inline constexpr quint32 kRegistryNumber = 4;

// Characters of the buffer a value is queried into.
inline constexpr int kRegistryBufferChars = 1024;

// A value as the registry hands it over, before GetKeyValue reads it.
struct RegistryRawValue {
    quint32 type = 0;
    QString text;        // a string value's characters, possibly with a NUL and more after it
    quint32 number = 0;  // a 32-bit number value
};

using RegistryKey = quintptr;

class RegistryReader {
  public:
    virtual ~RegistryReader() = default;
    // Nothing when the key cannot be opened.
    virtual std::optional<RegistryKey> openKey(RegistryRoot root, const QString& keyName) = 0;
    // Nothing when the value is missing or does not fit maxChars characters.
    virtual std::optional<RegistryRawValue> queryValue(RegistryKey key, const QString& valueName,
                                                       int maxChars) = 0;
    virtual void closeKey(RegistryKey key) = 0;
};

// A system without a registry: no key opens.
class NoRegistry : public RegistryReader {
  public:
    std::optional<RegistryKey> openKey(RegistryRoot root, const QString& keyName) override;
    std::optional<RegistryRawValue> queryValue(RegistryKey key, const QString& valueName,
                                               int maxChars) override;
    void closeKey(RegistryKey key) override;
};

// The registry of this system: the real one on Windows, NoRegistry elsewhere.
std::unique_ptr<RegistryReader> systemRegistry();

// Reads value SubKeyRef of key KeyName into KeyVal. A string value is taken
// up to its first NUL, a 32-bit number is written in decimal, and any other
// type leaves KeyVal as it was. Returns whether the value was found; when it
// was not, KeyVal is empty.
bool GetKeyValue(RegistryReader& registry, RegistryRoot KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal);

// The system information tool as the registry locates it, or the empty text
// when it cannot be found.
QString sysInfoPath(RegistryReader& registry,
                    const std::function<bool(const QString&)>& fileExists);

extern const char* const kSysInfoUnavailable;
