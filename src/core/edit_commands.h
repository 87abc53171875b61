// The menu edit commands' shared pieces: the delete question by Type and the task
// dialog that asks it.
#pragma once

#include "core/form1.h"

#include <windows.h>

#include <functional>
#include <string>

namespace core {

// The content line under every delete question's task dialog.
inline constexpr wchar_t kDeleteNote[] = L"Deleting this shortcut does not delete the object.";

// ShowTaskDialog's common buttons and icon codes.
constexpr int kTaskOk = 1;
constexpr int kTaskYes = 2;
constexpr int kTaskNo = 4;
constexpr int kTaskCancel = 8;
constexpr int kTaskRetry = 16;
constexpr int kTaskClose = 32;
constexpr int kIconWarning = 101;
constexpr int kIconQuestion = 102;
constexpr int kIconError = 103;
constexpr int kIconInformation = 104;

// TForm1.ShowTaskDialog: a task dialog on Vista and later, a message box before;
// the answer as IDOK, IDCANCEL, IDRETRY, IDYES, IDNO, or IDABORT for Close. 0 when
// no dialog could be shown, which a question takes as No.
int ShowTaskDialog(HWND owner, const std::wstring& title, const std::wstring& mainInstruction,
                   const std::wstring& content, int buttons, int icon);

struct TaskDialogRequest {
    HWND owner;
    std::wstring title;
    std::wstring mainInstruction;
    std::wstring content;
    int buttons;
    int icon;
};
// While set, task dialogs are answered by the handler (with the ID of the button
// pressed) instead of shown.
using TaskDialogHandler = std::function<int(const TaskDialogRequest&)>;
void SetTaskDialogHandler(TaskDialogHandler handler);
// The handler set by a test, empty otherwise: dialogs of their own kind (another
// button set) are answered through it too.
const TaskDialogHandler& CurrentTaskDialogHandler();

// The delete question for an item of this Type, its "%s" not yet filled in.
std::wstring DeleteQuestion(int type, const MessageTexts& messages);

}  // namespace core
