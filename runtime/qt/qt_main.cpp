// The host entry point on Linux: the application object, the back end, the program, the end.
#include "app/program_main.h"
#include "runtime/qt/qt_platform.h"
#include "runtime/runtime.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    rt::qt::QtPlatform platform;
    rt::attachPlatform(&platform);
    const std::int32_t code = programMain();
    endProgram(static_cast<std::uint32_t>(code));
    return code;
}
