#include "DemoTouchPage.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTableView>
#include <QVBoxLayout>

namespace
{

QString Tr(const char* text)
{
    return QCoreApplication::translate("DemoTouchPage", text);
}

} // namespace

QWidget* CreateDemoTouchPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("touchPage"));
    auto* layout = new QVBoxLayout(page);
    auto* hint
        = new QLabel(Tr("Drag a finger over the list or the table to scroll them; flick to let them glide."));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    QStringList entries;
    for (int i = 1; i <= 1000; ++i)
        entries << Tr("Entry %1").arg(i);
    auto* list = new QListView;
    list->setObjectName(QStringLiteral("touchList"));
    list->setModel(new QStringListModel(entries, list));

    constexpr int rows = 500;
    constexpr int columns = 12;
    auto* model = new QStandardItemModel(rows, columns);
    for (int column = 0; column < columns; ++column)
        model->setHorizontalHeaderItem(column, new QStandardItem(Tr("Column %1").arg(column + 1)));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            model->setItem(
                row, column, new QStandardItem(QStringLiteral("%1:%2").arg(row + 1).arg(column + 1)));
    }
    auto* table = new QTableView;
    table->setObjectName(QStringLiteral("touchTable"));
    model->setParent(table);
    table->setModel(model);
    table->horizontalHeader()->setDefaultSectionSize(110);

    auto* splitter = new QSplitter;
    splitter->addWidget(list);
    splitter->addWidget(table);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);
    return page;
}
