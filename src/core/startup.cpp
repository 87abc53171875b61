#include "core/startup.h"

#include "core/forms.h"
#include "core/launch.h"
#include "core/popup_mode.h"
#include "ui/application.h"
#include "ui/files.h"
#include "ui/sessions.h"
#include "ui/strings.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

namespace core {

bool VistaOrLater = false;
std::wstring VersionString;
std::wstring AppDir;
std::wstring SystemDir;
std::uint8_t MediaKind = 0;
std::wstring CacheDir;
std::wstring MenuFileName = L"1.xml";
std::wstring ImageExt = L".png";
bool PopupMode = false;
bool DesktopMode = false;
int ExitStatus = 0;

const char DefaultMenuText[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<!-- Do not change this file yourself, or else you may cause the application to malfunction! -->\r\n"
    "<Items>\r\n"
    "\t<item><Run>::{20D04FE0-3AEA-1069-A2D8-08002B30309D}</Run><ImageFile>C:\\WINDOWS\\System32\\shell32.dll</ImageFile><Index>15</Index><Type>3</Type><Caption>My computer</Caption><subitem></subitem><RunVis>0</RunVis><Params></Params></item>\r\n"
    "\t<item><Run>::{450D8FBA-AD25-11D0-98A8-0800361B1103}</Run><ImageFile>C:\\WINDOWS\\System32\\shell32.dll</ImageFile><Index>126</Index><Type>3</Type><Caption>My documents</Caption><subitem></subitem><RunVis>0</RunVis><Params></Params></item>\r\n"
    "\t<item><Run>::{645FF040-5081-101B-9F08-00AA002F954E}</Run><ImageFile>C:\\WINDOWS\\System32\\shell32.dll</ImageFile><Index>32</Index><Type>3</Type><Caption>Recycle bin</Caption><subitem></subitem><RunVis>0</RunVis><Params></Params></item>\r\n"
    "</Items>\r\n";

namespace {
std::optional<std::wstring> g_programFolder;
std::optional<std::wstring> g_firstArgument;
std::optional<bool> g_vista;
std::optional<std::uint8_t> g_mediaKind;
}  // namespace

void SetProgramFolderForTests(std::optional<std::wstring> folder) { g_programFolder = std::move(folder); }
void SetFirstArgumentForTests(std::optional<std::wstring> argument) { g_firstArgument = std::move(argument); }
void SetVistaOrLaterForTests(std::optional<bool> vista) { g_vista = vista; }
void SetMediaKindForTests(std::optional<std::uint8_t> kind) { g_mediaKind = kind; }

std::wstring ProgramFolder() {
    if (g_programFolder) return ui::IncludeTrailingBackslash(*g_programFolder);
    return ui::ExtractFilePath(ui::ModuleFileName());
}

std::wstring FirstArgument() {
    if (g_firstArgument) return *g_firstArgument;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return {};
    std::wstring first = count > 1 ? args[1] : L"";
    LocalFree(args);
    return first;
}

void CheckWindowsVersion() {
    if (g_vista) {
        VistaOrLater = *g_vista;
        return;
    }
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // The reported version, compatibility settings included, is what decides.
    GetVersionExA(&info);
#pragma GCC diagnostic pop
    VistaOrLater = info.dwMajorVersion >= 6;
}

std::wstring GetSystemDir() {
    std::wstring buffer(MAX_PATH, L'\0');
    UINT n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n >= buffer.size()) {
        buffer.resize(n);
        n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    buffer.resize(n);
    return buffer + L"\\";
}

std::wstring GetTempDir() {
    std::wstring buffer(MAX_PATH + 1, L'\0');
    DWORD n = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    buffer.resize(n);
    return buffer;  // as the system returns it, with its trailing backslash
}

std::uint8_t MediaKindOf(const std::wstring& path) {
    if (g_mediaKind) return *g_mediaKind;
    if (path.size() < 2) return 0;
    const std::wstring root = path.substr(0, 2) + L"\\";
    switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_REMOVABLE: return 1;
    case DRIVE_CDROM: return 2;
    default: return 0;
    }
}

std::wstring GetFileVersionString(const std::wstring& file, const std::wstring& value) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return {};
    void* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &translation, &length) ||
        length != 4)
        return {};
    const DWORD pair = *static_cast<const DWORD*>(translation);
    // Four hex digits each: "%x" with a literal 0 in front breaks for four-digit values.
    wchar_t block[64];
    std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", LOWORD(pair), HIWORD(pair));
    const std::wstring query = block + value;
    void* text = nullptr;
    if (!VerQueryValueW(data.data(), query.c_str(), &text, &length) || length == 0) return {};
    return std::wstring(static_cast<const wchar_t*>(text));
}

int ProgramEntry() {
    // First: a fault anywhere from here on must not leave the hook installed.
    InstallFaultHandler();
    CheckWindowsVersion();
    ui::GdiplusSession gdiplus;
    ui::ComSession com(COINIT_APARTMENTTHREADED);
    auto& app = ui::Application::Instance();
    app.Initialize(L"Zarvo");
    CreateForms();
    ShowWindow(app.Handle(), SW_HIDE);
    if (!app.Terminated()) app.Run();
    DestroyForms();
    // A program started by the last click must not die with this process.
    WaitForLaunches(10000);
    return ExitStatus;
}

}  // namespace core
