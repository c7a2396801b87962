#pragma once
// Null-safe setters for the rules: a field the pages do not hold is skipped,
// as the rules skip any step whose field cannot be found.
#include <QAbstractButton>
#include <QLineEdit>
#include <QString>
#include <QWidget>

namespace plendoro {

inline void Enable(QWidget* w, bool on)
{
    if (w)
        w->setEnabled(on);
}

inline void SetText(QLineEdit* w, const QString& text)
{
    if (w)
        w->setText(text);
}

inline void SetChecked(QAbstractButton* w, bool on)
{
    if (w)
        w->setChecked(on);
}

} // namespace plendoro
