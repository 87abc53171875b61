// The plug-in calling interface: the five exports, their convention, and the layouts
// of the row rectangle and the shared buffer. Plug-ins and the host both include it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// i686 (the shipped build): the 32-bit "register" convention of the plug-in
// interface. First argument in EAX, second in EDX, third in ECX; the callee keeps
// EBX, ESI, EDI and EBP; with at most three arguments nothing is on the stack, so
// there is nothing to clean. GCC's regparm(3) gives exactly that (measured: the
// rectangle in EAX, the buffer in EDX, a plain "ret").
//
// Only for up to three arguments: beyond them regparm pushes right to left and the
// caller removes them, while the register convention pushes left to right and the
// callee removes them. No export takes more than two; never reuse the macro for a
// function that does. Never make it stdcall either: the exported names would turn
// into "_OnClick@8" and no plug-in would be found.
//
// x86_64 has one convention (RCX, RDX), the names are not decorated, and the same
// layouts hold. A 32-bit plug-in does not load into the 64-bit build (error 193).
#if defined(__i386__) && defined(__GNUC__)
#define ZV_PLUGIN_CALL __attribute__((regparm(3)))
#elif defined(_M_IX86)
#error "The plug-in register convention needs regparm(3); this compiler would need an assembly thunk."
#else
#define ZV_PLUGIN_CALL
#endif

namespace core {

// "_LoadPlugin" and "_UnloadPlugin": no arguments.
using PluginNotifyProc = void(ZV_PLUGIN_CALL*)();
// "_OnEnter", "_OnLeave" and "_OnClick": a copy of a row rectangle (screen pixels)
// and the shared buffer. The host passes the buffer to "_OnLeave" too, so a plug-in
// that declares both hover exports alike cannot crash. Results are not used.
using PluginRowProc = void(ZV_PLUGIN_CALL*)(RECT* rect, std::uint8_t* buffer);

inline constexpr char kLoadPluginExport[] = "_LoadPlugin";
inline constexpr char kUnloadPluginExport[] = "_UnloadPlugin";
inline constexpr char kOnEnterExport[] = "_OnEnter";
inline constexpr char kOnLeaveExport[] = "_OnLeave";
inline constexpr char kOnClickExport[] = "_OnClick";

// The row rectangle: four signed 32-bit integers, Left, Top, Right, Bottom.
static_assert(sizeof(RECT) == 16 && offsetof(RECT, left) == 0 && offsetof(RECT, top) == 4 &&
              offsetof(RECT, right) == 8 && offsetof(RECT, bottom) == 12);

// The shared buffer. [0, 768) belongs to the plug-ins; the new caption at 768 and
// the new icon file at 1024 are short strings (a length byte L, then L bytes in the
// ANSI code page); [1280, 1296) is free.
inline constexpr std::size_t kPluginBufferSize = 1296;
inline constexpr std::size_t kPluginOwnSize = 768;
inline constexpr std::size_t kPluginCaptionOffset = 768;
inline constexpr std::size_t kPluginIconOffset = 1024;
inline constexpr std::size_t kPluginShortStringSize = 256;

}  // namespace core
