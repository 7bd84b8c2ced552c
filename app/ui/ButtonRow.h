#pragma once
// The row of command buttons at the foot of the program's dialogs, pushed to the right.
#include <QHBoxLayout>
#include <QPushButton>
#include <initializer_list>

namespace aero {

inline QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace aero
