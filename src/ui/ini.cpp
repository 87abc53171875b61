#include "ui/ini.h"

#include "ui/handles.h"
#include "ui/strings.h"

#include <windows.h>

#include <utility>

namespace ui {

Ini::Ini(std::wstring path) : path_(std::move(path)) {}

std::wstring Ini::ReadString(std::wstring_view section, std::wstring_view key,
                             std::wstring_view def) const {
    // The profile routines want terminated strings; views need not be.
    const std::wstring sectionZ(section), keyZ(key), defZ(def);
    std::wstring buffer(256, L'\0');
    for (;;) {
        DWORD n = GetPrivateProfileStringW(sectionZ.c_str(), keyZ.c_str(), defZ.c_str(),
                                           buffer.data(), static_cast<DWORD>(buffer.size()),
                                           path_.c_str());
        // A value that did not fit comes back as size - 1 characters: grow and ask again.
        if (n + 1 < buffer.size() || buffer.size() >= 0x40000000) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

int Ini::ReadInteger(std::wstring_view section, std::wstring_view key, int def) const {
    return ParseInt(ReadString(section, key, L"")).value_or(def);
}

void Ini::CreateUnicodeFileIfMissing() const {
    // WritePrivateProfileStringW writes UTF-16 only into a file that already starts
    // with the mark; into a new file it writes the ANSI code page and loses the rest.
    // CREATE_NEW leaves a file that exists (or appears meanwhile) alone.
    UniqueFile file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;  // exists already, or cannot be made: the write reports that
    static const unsigned char kMark[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file.Get(), kMark, sizeof kMark, &written, nullptr);
}

bool Ini::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    CreateUnicodeFileIfMissing();
    const std::wstring sectionZ(section), keyZ(key), valueZ(value);
    return WritePrivateProfileStringW(sectionZ.c_str(), keyZ.c_str(), valueZ.c_str(),
                                      path_.c_str()) != 0;
}

bool Ini::WriteInteger(std::wstring_view section, std::wstring_view key, int value) {
    return WriteString(section, key, IntToStr(value));
}

}  // namespace ui
