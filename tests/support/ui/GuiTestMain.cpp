// The one main() of the window tests: a QApplication on the offscreen
// platform, with one screen of the size KVB_TEST_SCREEN gives ("1280x720";
// 1920x1080 when it is not set), so that windows open as they would on such
// a screen.

#include <QApplication>
#include <QByteArray>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    QByteArray size = qgetenv("KVB_TEST_SCREEN");
    if (size.isEmpty())
        size = "1920x1080";
    int width = 0, height = 0;
    if (std::sscanf(size.constData(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "KVB_TEST_SCREEN must read WIDTHxHEIGHT, not %s\n", size.constData());
        return 2;
    }
    QTemporaryFile config;
    if (!config.open())
        return 2;
    config.write(QString(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2,
                             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                     .arg(width)
                     .arg(height)
                     .toUtf8());
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
