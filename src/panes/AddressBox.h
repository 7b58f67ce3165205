#pragma once

#include <QObject>

class QAbstractButton;
class QLineEdit;

// The one address box both panes share. The site buttons and both lists only fill it; Enter
// presses the upper pane's "GO", as a click would.
class AddressBox final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddressBox)
public:
    AddressBox(QLineEdit &box, QAbstractButton &enterPresses, QObject *parent = nullptr);

    void setAddress(const QString &address);

private:
    QLineEdit &m_box;
};
