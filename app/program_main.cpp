#include "app/program_main.h"

#include "runtime/runtime.h"
#include "timing/counter.h"
#include "ui/main_window.h"

std::int32_t programMain() {
    initRuntime();
    registerExitRoutine(releaseTexts);
    loadStartupWindow(kMainWindowId);
    runMessageLoop();
    return 0;
}
