#pragma once

#include "lookup/memorypage.h"
#include "platform/fonts.h"
#include "platform/translations.h"

#include <QApplication>
#include <QTest>

// Test entry point for suites that put browser views on screen: the engine needs shared GL
// contexts and our URL scheme registered before the application object exists. Qt's texts
// and the engine's language follow the test's locale, as in the programs.
#define DIALVANE_WEB_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        lookup::MemoryPage::registerScheme();                                                      \
        QApplication app(argc, argv);                                                              \
        platform::installFontSubstitutions();                                                      \
        platform::installTranslations(app);                                                        \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
