#include "panes/AddressBox.h"

#include <QAbstractButton>
#include <QLineEdit>

AddressBox::AddressBox(QLineEdit &box, QAbstractButton &enterPresses, QObject *parent)
    : QObject(parent)
    , m_box(box)
{
    connect(&m_box, &QLineEdit::returnPressed, &enterPresses, &QAbstractButton::click);
}

void AddressBox::setAddress(const QString &address)
{
    m_box.setText(address);
}
