#include "BenchWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

namespace
{

const char* const kTexts[] = {
    QT_TRANSLATE_NOOP("BenchWindow", "Open"),
    QT_TRANSLATE_NOOP("BenchWindow", "Save"),
    QT_TRANSLATE_NOOP("BenchWindow", "Name"),
    QT_TRANSLATE_NOOP("BenchWindow", "Size"),
    QT_TRANSLATE_NOOP("BenchWindow", "Colour"),
    QT_TRANSLATE_NOOP("BenchWindow", "Enabled"),
    QT_TRANSLATE_NOOP("BenchWindow", "Apply"),
    QT_TRANSLATE_NOOP("BenchWindow", "Cancel"),
    QT_TRANSLATE_NOOP("BenchWindow", "Search"),
    QT_TRANSLATE_NOOP("BenchWindow", "Options"),
    QT_TRANSLATE_NOOP("BenchWindow", "Volume"),
    QT_TRANSLATE_NOOP("BenchWindow", "Details"),
};
constexpr int kTextCount = int(sizeof kTexts / sizeof kTexts[0]);
constexpr int kKinds = 10;
constexpr int kColumns = 10;

QWidget* MakeWidget(int index)
{
    switch (index % kKinds) {
    case 0:
        return new QPushButton;
    case 1:
        return new QLabel;
    case 2:
        return new QLineEdit;
    case 3:
        return new QCheckBox;
    case 4: {
        auto* combo = new QComboBox;
        combo->addItems({ QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") });
        return combo;
    }
    case 5:
        return new QSpinBox;
    case 6:
        return new QRadioButton;
    case 7: {
        auto* bar = new QProgressBar;
        bar->setValue(index % 100);
        return bar;
    }
    case 8:
        return new QSlider(Qt::Horizontal);
    default:
        return new QToolButton;
    }
}

} // namespace

BenchWindow::BenchWindow(int widgetCount)
{
    m_fileMenu = menuBar()->addMenu(QString());
    m_viewMenu = menuBar()->addMenu(QString());
    for (int i = 0; i < 4; ++i) {
        m_fileMenu->addAction(QString());
        m_viewMenu->addAction(QString());
    }

    auto* central = new QWidget;
    auto* grid = new QGridLayout(central);
    for (int i = 0; i < widgetCount; ++i) {
        QWidget* widget = MakeWidget(i);
        widget->setObjectName(QStringLiteral("w%1").arg(i));
        grid->addWidget(widget, i / kColumns, i % kColumns);
        m_widgets.push_back(widget);
    }
    setCentralWidget(central);
    Retranslate();
}

QString BenchWindow::SampleText() const
{
    return m_fileMenu->actions().front()->text();
}

void BenchWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QMainWindow::changeEvent(event);
}

void BenchWindow::Retranslate()
{
    ++m_retranslations;
    setWindowTitle(tr("Benchmark"));
    m_fileMenu->setTitle(tr("File"));
    m_viewMenu->setTitle(tr("View"));
    const QList<QAction*> actions = m_fileMenu->actions() + m_viewMenu->actions();
    for (int i = 0; i < actions.size(); ++i)
        actions[i]->setText(tr(kTexts[i % kTextCount]));

    for (size_t i = 0; i < m_widgets.size(); ++i) {
        const QString text = tr(kTexts[i % kTextCount]);
        QWidget* widget = m_widgets[i];
        widget->setToolTip(text);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(text);
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setPlaceholderText(text);
        else if (auto* spin = qobject_cast<QSpinBox*>(widget))
            spin->setSuffix(QLatin1Char(' ') + text);
        else if (auto* bar = qobject_cast<QProgressBar*>(widget))
            bar->setFormat(text + QStringLiteral(" %p%"));
    }
}
