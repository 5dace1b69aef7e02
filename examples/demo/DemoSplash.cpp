#include "DemoSplash.h"

#include <QPainter>

namespace
{

QPixmap DrawSplash()
{
    QPixmap pixmap(420, 220);
    pixmap.fill(QColor(0x20, 0x2a, 0x3a));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x6f, 0xc3, 0xff));
    QFont title = p.font();
    title.setPointSize(26);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 50, 420, 60), Qt::AlignCenter, QStringLiteral("Zentar Demo"));
    QFont small = p.font();
    small.setPointSize(10);
    small.setBold(false);
    p.setFont(small);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 110, 420, 30), Qt::AlignCenter, QStringLiteral("version 20.4.0"));
    return pixmap;
}

} // namespace

DemoSplash::DemoSplash()
    : m_screen(std::make_unique<QSplashScreen>(DrawSplash()))
{
    m_screen->show();
}

DemoSplash::~DemoSplash() = default;

void DemoSplash::ShowMessage(const std::string& message)
{
    m_screen->showMessage(QString::fromStdString(message), Qt::AlignBottom | Qt::AlignHCenter, Qt::white);
}

void DemoSplash::OnStartupEvent()
{
    ShowMessage("Starting...");
    m_screen->raise();
}

void DemoSplash::Finish(QWidget* mainWindow)
{
    m_screen->finish(mainWindow);
}
