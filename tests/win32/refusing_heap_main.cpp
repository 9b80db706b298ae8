// A test-only host entry: the program as shipped, except that the run time's heap refuses a
// request soon after timing starts. Each tick makes seven requests (three fields of two, the
// readout of one), so with fourteen the first two ticks go through and the third tick's first
// request, the two bytes of the seconds' digits, is refused.
#include "app/program_main.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "runtime/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    rt::win32::Win32Platform platform(instance);
    rt::attachPlatform(&platform);
    rt::testing::setAllocationBudget(14);
    const std::int32_t code = programMain();
    endProgram(static_cast<std::uint32_t>(code));
    platform.exitProcess(static_cast<std::uint32_t>(code));
}
