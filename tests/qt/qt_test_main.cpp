// The tests of the Qt back end need one QApplication for the whole process.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

// The offscreen platform says, for every window, that it cannot pass on size hints or raise it;
// nothing a test looks at. Everything else goes through.
QtMessageHandler defaultHandler = nullptr;
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.startsWith(QLatin1String("This plugin does not support"))) {
        defaultHandler(type, context, text);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    // A death test runs its child as a fresh copy of this program: a forked copy of a running
    // QApplication would share its connection to the windowing system.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // No display is needed unless the environment asks for one (listing the tests, say).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    defaultHandler = qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
