// One INI file read and written through the platform's profile routines.
#pragma once

#include <string>
#include <string_view>

namespace ui {

// Numbers are parsed strictly (see ParseInt), never by GetPrivateProfileInt, which
// takes "abc" for 0 and "12abc" for 12. A file this class creates gets a UTF-16
// byte-order mark first, so text outside the ANSI code page survives; a file that
// already exists keeps its encoding.
class Ini {
public:
    explicit Ini(std::wstring path);

    const std::wstring& Path() const { return path_; }

    std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                            std::wstring_view def) const;
    // A missing or malformed value gives def.
    int ReadInteger(std::wstring_view section, std::wstring_view key, int def) const;

    bool WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    bool WriteInteger(std::wstring_view section, std::wstring_view key, int value);

private:
    void CreateUnicodeFileIfMissing() const;

    std::wstring path_;
};

}  // namespace ui
