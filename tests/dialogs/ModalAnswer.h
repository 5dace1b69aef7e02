#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the next modal box once it is shown: call it right before the
// code that runs the box. `answer` gets the box (null when none was shown by
// the time the event loop ran) and decides what to click.
inline void OnNextModalBox(std::function<void(QMessageBox*)> answer)
{
    QTimer::singleShot(
        0, qApp, [answer] { answer(qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); });
}

inline void ClickButton(QMessageBox* box, QMessageBox::StandardButton which)
{
    if (box && box->button(which))
        QTest::mouseClick(box->button(which), Qt::LeftButton);
}
