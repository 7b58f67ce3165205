#pragma once

#include <QListWidget>
#include <QTest>

// A click on the control of that name below root, as the user gives it; a missing control
// fails the test instead of crashing it.
inline void clickChild(const QObject *root, const char *name)
{
    auto *control = root->findChild<QWidget *>(QLatin1String(name));
    QVERIFY2(control, name);
    QTest::mouseClick(control, Qt::LeftButton);
}

inline void clickItem(QListWidget &list, int row)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
}
