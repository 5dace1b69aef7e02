#pragma once

#include <Zentar/App/Application.h>

#include <QtTest>

// main() of a test that runs inside the library's application object (or a
// subclass of it); the application-running mutex is left alone so that test
// programs may run side by side.
#define ZENTAR_APPLICATION_TEST_MAIN_WITH(AppClass, TestClass)                                               \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        Zentar::App::Application::AppContext context;                                                        \
        context.createRunningMutex = false;                                                                  \
        AppClass app(argc, argv, context);                                                                   \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }

#define ZENTAR_APPLICATION_TEST_MAIN(TestClass)                                                              \
    ZENTAR_APPLICATION_TEST_MAIN_WITH(Zentar::App::Application, TestClass)

// The application object the test runs in.
inline Zentar::App::Application& TheApp()
{
    return *static_cast<Zentar::App::Application*>(QCoreApplication::instance());
}
