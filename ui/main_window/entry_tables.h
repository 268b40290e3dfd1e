#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The entries of the main window's lists and the stored value each stands for. One table serves
// both ways, stored value to entry and picked entry to value: the entry order is not the order
// of the values, so never compute one from the other.
struct ListEntry {
    std::wstring_view text;
    std::int32_t value;
};

// URL policy: running scripts, scripting of Java applets, cookies, per-session cookies.
inline constexpr ListEntry kPolicyEntries[] = {
    {L"注意を表示する", 1}, // prompt
    {L"有効にする", 0},     // allow
    {L"無効にする", 3},     // disallow
};

// Java permissions.
inline constexpr ListEntry kJavaEntries[] = {
    {L"安全性-高", 0x00010000}, {L"安全性-中", 0x00020000},    {L"安全性-低", 0x00030000},
    {L"無効にする", 0},         {L"カスタム設定", 0x00800000},
};

template <std::size_t N>
constexpr std::array<std::wstring_view, N> EntryTexts(const ListEntry (&entries)[N]) {
    std::array<std::wstring_view, N> texts{};
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = entries[i].text;
    return texts;
}
