#include "core/search_index.h"

#include "core/form1.h"
#include "ui/files.h"
#include "ui/strings.h"

namespace core {

std::vector<std::wstring> ParseIndexList(std::string_view bytes) {
    const std::wstring text = ui::DecodeMarkedText(bytes);
    std::vector<std::wstring> folders;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring_view line(text.data() + start, end - start);
        // A blank line names no folder; the trimmed line is the folder as typed.
        if (!ui::TrimSpaces(line).empty()) folders.emplace_back(line);
        start = end;
        if (start < text.size() && text[start] == L'\r') ++start;
        if (start < text.size() && text[start] == L'\n') ++start;
    }
    return folders;
}

std::vector<std::wstring> ReadIndexList(const std::wstring& path) {
    auto bytes = ui::ReadFileBytes(path);
    if (!bytes) return {};
    return ParseIndexList(*bytes);
}

bool WriteIndexList(const std::wstring& path, const std::vector<std::wstring>& folders) {
    std::wstring text;
    for (const auto& folder : folders) text += folder + L"\r\n";
    return ui::WriteFileAtomic(path, ui::EncodeMarkedText(text));
}

void TForm1::BuildIndex() {
    // TODO(search index): write Index.dat from the folders of index.txt.
}

}  // namespace core
