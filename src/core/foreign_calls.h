// The calling conventions of the libraries Zarvo loads by name, kept in one place:
// on i686 they are fixed by the libraries' interfaces, on x86_64 there is one
// convention and the attributes change nothing.
#pragma once

#include <windows.h>

#include <cstdint>

namespace core {

// zvhook.dll's "Hook": one 32-bit argument, stdcall (the callee removes it).
using HookFunction = void(__stdcall*)(std::int32_t on);

}  // namespace core
