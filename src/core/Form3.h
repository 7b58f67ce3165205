#pragma once

#include <QWidget>

class Form1;
class QLineEdit;

// The settings editor: the six site shortcuts and the upper pane's start page. Created once
// and afterwards only shown and hidden, so its boxes keep unsaved edits.
class Form3 final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form3)
public:
    explicit Form3(Form1 &main);

    static constexpr int BoxCount = 13;

    // Box i holds line i+1 of the settings file.
    QLineEdit *box(int index) const;

    static QString instructionText();

    void Command2_Click(); // save, apply, hide
    void Command1_Click(); // hide

private:
    Form1 &m_main;
    QLineEdit *m_boxes[BoxCount] = {};
};
