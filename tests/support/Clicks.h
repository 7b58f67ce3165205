#pragma once

#include <cstdlib>

#include <QListWidget>
#include <QTest>

// The one way a test finds a control by its object name, for controls no part hands out. A
// missing control, or one of another type, ends the test run with the name: a test never goes
// on with a null control.
template<typename T = QWidget>
T *namedChild(const QObject *root, const QString &name)
{
    auto *child = root->findChild<T *>(name);
    if (!child) {
        QTest::qFail(qPrintable(QStringLiteral("no control named ") + name), __FILE__, __LINE__);
        std::abort();
    }
    return child;
}

inline void leftClick(QWidget *control)
{
    QTest::mouseClick(control, Qt::LeftButton);
}

inline void clickItem(QListWidget &list, int row)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
}
