#include "DemoSafeMode.h"

#include <Zentar/App/Application.h>

#include <QCoreApplication>
#include <QMessageBox>

#include <glog/logging.h>

bool OfferDemoSafeMode(Zentar::App::Application& app, QWidget* parent)
{
    if (!app.IsInCrashLoop())
        return false;
    const int crashes = app.GetCrashesInRow();
    QMessageBox box(QMessageBox::Question, QCoreApplication::translate("DemoSafeMode", "Zentar Demo"),
        QCoreApplication::translate(
            "DemoSafeMode", "Zentar Demo closed unexpectedly %1 times. Start with default settings?")
            .arg(crashes),
        QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("safeModeQuestion"));
    box.setDefaultButton(QMessageBox::Yes);
    const bool safe = box.exec() == QMessageBox::Yes;
    LOG(INFO) << "Crashed " << crashes << " times in a row; safe mode " << (safe ? "chosen" : "declined");
    if (safe)
        app.StartInSafeMode();
    return safe;
}
