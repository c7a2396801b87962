#include "cli/CliEditor.h"

namespace plendoro::cli {

void CliDialogs::Message(QWidget*, const QString&, const QString& text, Icon)
{
    if (sink_)
        sink_(text);
}

bool CliDialogs::Ask(QWidget*, const QString&, const QString& text, Icon, Answer)
{
    if (sink_)
        sink_(text + QStringLiteral(" Нет"));
    return false;
}

} // namespace plendoro::cli
