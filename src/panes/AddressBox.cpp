#include "panes/AddressBox.h"

#include <QAbstractButton>
#include <QLineEdit>

AddressBox::AddressBox(QLineEdit &box, QAbstractButton &enterPresses, QObject *parent)
    : QObject(parent)
    , m_box(box)
{
    connect(&m_box, &QLineEdit::returnPressed, &enterPresses, &QAbstractButton::click);
    connect(&m_box, &QLineEdit::textChanged, this, &AddressBox::addressChanged);
}

void AddressBox::announce()
{
    emit addressChanged(m_box.text());
}

void AddressBox::setAddress(const QString &address)
{
    m_box.setText(address);
}
