#include "ui/message_box.h"

namespace ui {
namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    if (Handler()) return Handler()(MessageBoxRequest{owner, text, caption, type});
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }

}  // namespace ui
