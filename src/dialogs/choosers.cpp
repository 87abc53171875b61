#include "dialogs/choosers.h"

namespace dialogs {
namespace {

ChooserFunctions& Table() {
    static ChooserFunctions table;
    return table;
}

}  // namespace

// TODO(dialogs): the real choosers, the "OFT" template and the phone book.
bool RealSelectFile(HWND, const std::wstring&, const FileFilter&, std::wstring& fileName, bool&) {
    fileName.clear();
    return false;
}

bool RealBrowseFolder(HWND, std::wstring&, std::wstring& path) {
    path.clear();
    return false;
}

int RealPickIcon(HWND, std::wstring&, int&) { return 0; }

const ChooserFunctions& Choosers() { return Table(); }

void SetChoosersForTests(ChooserFunctions functions) { Table() = std::move(functions); }

void ResetChoosers() { Table() = {}; }

bool PhoneBookEntries(std::vector<std::wstring>& names) {
    names.clear();
    return true;
}

}  // namespace dialogs
