#include <windows.h>
#include <sddl.h>

#include "tests/support/scratch_hkcu.h"

#include <cwchar>
#include <stdexcept>

namespace {
constexpr wchar_t kScratchRoot[] = L"Software\\QUELM-tests";
} // namespace

ScratchHkcu::ScratchHkcu() {
    path_ = std::wstring(kScratchRoot) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64());
    HKEY key = nullptr;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the scratch key");
    key_.reset(key);
    status = RegOverridePredefKey(HKEY_CURRENT_USER, key_.get());
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot redirect HKEY_CURRENT_USER");
}

ScratchHkcu::~ScratchHkcu() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    // Tests may have locked keys down with a DACL; open the tree up again before deleting it.
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kScratchRoot, 0, KEY_ALL_ACCESS, &parent) ==
        ERROR_SUCCESS) {
        const std::wstring leaf = path_.substr(path_.rfind(L'\\') + 1);
        key_.reset();
        RegDeleteTreeW(parent, leaf.c_str());
        RegDeleteKeyW(parent, leaf.c_str());
        RegCloseKey(parent);
    }
}

bool KeyExists(const std::wstring& path) {
    UniqueHkey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool QueryRaw(const std::wstring& path, const std::wstring& name, DWORD& type, std::string& data) {
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    data.assign(size, '\0');
    return RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS;
}

void PutRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::string& data) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

void SetKeySddl(const std::wstring& path, const wchar_t* sddl) {
    UniqueHkey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, key.put()),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr));
    const LSTATUS status = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

namespace {
void DumpKey(HKEY key, const std::wstring& path, std::wstring& out) {
    out += L"[" + path + L"]\n";
    std::wstring name(32768, L'\0');
    std::string data(65536, '\0');
    for (DWORD i = 0;; ++i) {
        auto nameLen = static_cast<DWORD>(name.size());
        DWORD type = 0;
        auto dataLen = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type,
                          reinterpret_cast<BYTE*>(data.data()), &dataLen) != ERROR_SUCCESS)
            break;
        out += name.substr(0, nameLen) + L"=" + std::to_wstring(type) + L":";
        for (DWORD b = 0; b < dataLen; ++b) {
            wchar_t hex[4];
            swprintf(hex, 4, L"%02x", static_cast<unsigned char>(data[b]));
            out += hex;
        }
        out += L"\n";
    }
    for (DWORD i = 0;; ++i) {
        auto nameLen = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &nameLen, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const std::wstring child(name.data(), nameLen);
        std::wstring childPath = path;
        childPath += L"\\";
        childPath += child;
        UniqueHkey sub;
        if (RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, sub.put()) == ERROR_SUCCESS)
            DumpKey(sub.get(), childPath, out);
        else
            out += L"[" + childPath + L"] (unreadable)\n";
    }
}
} // namespace

std::wstring DumpTree(const std::wstring& path) {
    std::wstring out;
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        DumpKey(key.get(), path, out);
    return out;
}
