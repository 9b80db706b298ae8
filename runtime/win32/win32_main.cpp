// The host entry point on Windows: the back end, the program, the end, the exit code.
#include "app/program_main.h"
#include "runtime/runtime.h"
#include "runtime/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    rt::win32::Win32Platform platform(instance);
    rt::attachPlatform(&platform);
    const std::int32_t code = programMain();
    endProgram(static_cast<std::uint32_t>(code));
    platform.exitProcess(static_cast<std::uint32_t>(code));
}
