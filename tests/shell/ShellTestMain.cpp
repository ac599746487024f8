#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    // No display is needed: every window is drawn off screen.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The recognition library keeps its dictionaries in caches it never frees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libtesseract\n"; }
