#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // CTest sets the platform for every test run, but the build lists the
    // tests (gtest_discover_tests) without that environment and with no
    // display; the application object still needs a platform then.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
