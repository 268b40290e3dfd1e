#include <windows.h>
#include <sddl.h>

#include "tests/support/scratch_registry.h"

#include <stdexcept>

namespace {

constexpr wchar_t kScratchRoot[] = L"Software\\QUELM-tests";
int created = 0; // scratch keys, for unique names

UniqueHkey Open(HKEY parent, const wchar_t* path, REGSAM access = KEY_READ) {
    UniqueHkey key;
    RegOpenKeyExW(parent, path, 0, access, key.put());
    return key;
}

void DumpKey(HKEY key, const std::wstring& path, std::wstring& out) {
    out += L"[" + path + L"]\n";
    std::wstring name(32768, L'\0');
    std::string data(65536, '\0');
    DWORD nameLen = 0;
    DWORD dataLen = 0;
    DWORD type = 0;
    const auto reset = [&] { nameLen = 32768, dataLen = 65536; };
    for (DWORD i = 0; reset(), RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type,
                                             reinterpret_cast<BYTE*>(data.data()), &dataLen) == 0;
         ++i) {
        out += name.substr(0, nameLen) + L"=" + std::to_wstring(type) + L":";
        for (const unsigned char byte : data.substr(0, dataLen))
            out += {L"0123456789abcdef"[byte >> 4], L"0123456789abcdef"[byte & 15]};
        out += L"\n";
    }
    for (DWORD i = 0; reset(), RegEnumKeyExW(key, i, name.data(), &nameLen, nullptr, nullptr,
                                             nullptr, nullptr) == 0;
         ++i) {
        const std::wstring childPath = path + L"\\" + name.substr(0, nameLen);
        if (const UniqueHkey child = Open(key, name.c_str()))
            DumpKey(child.get(), childPath, out);
        else
            out += L"[" + childPath + L"] (unreadable)\n";
    }
}

} // namespace

ScratchKey::ScratchKey(HKEY predefined)
    : predefined_(predefined),
      path_(std::wstring(kScratchRoot) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++created)) {
    key_ = CreateKey(path_);
    if (!key_ || RegOverridePredefKey(predefined_, key_.get()) != ERROR_SUCCESS)
        throw std::runtime_error("cannot redirect a predefined key to a scratch key");
}

ScratchKey::~ScratchKey() {
    RegOverridePredefKey(predefined_, nullptr);
    key_.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

bool KeyExists(const std::wstring& path) {
    return static_cast<bool>(Open(HKEY_CURRENT_USER, path.c_str()));
}

UniqueHkey CreateKey(const std::wstring& path, DWORD options) {
    UniqueHkey key;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    return key;
}

void PutRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::string& data) {
    EXPECT_EQ(RegSetValueExW(CreateKey(path).get(), name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

void SetKeySddl(const std::wstring& path, const wchar_t* sddl, HKEY root) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr));
    EXPECT_EQ(RegSetKeySecurity(Open(root, path.c_str(), KEY_ALL_ACCESS).get(),
                                DACL_SECURITY_INFORMATION, sd),
              ERROR_SUCCESS);
    LocalFree(sd);
}

std::wstring DumpTree(const std::wstring& path) {
    std::wstring out;
    if (const UniqueHkey key = Open(HKEY_CURRENT_USER, path.c_str()))
        DumpKey(key.get(), path, out);
    return out;
}
