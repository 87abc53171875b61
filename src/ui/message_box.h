// Message boxes, with a seam so in-process tests can answer them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

struct MessageBoxRequest {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;  // MB_* flags
};

// Shows a message box and returns its IDxxx answer.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

// While set, message boxes are answered by the handler instead of shown.
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace ui
