// Calls HighDpiFix as a product's main() does, before any application
// object, and prints whether Qt was asked to scale.
#include <Zentar/App/StartupHelpers.h>

#include <QCoreApplication>

#include <cstdio>

int main()
{
    Zentar::App::HighDpiFix();
    std::printf("attribute=%d\n", QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling) ? 1 : 0);
    return 0;
}
