#pragma once
// Where a command reports to the window's status line: the text, shown in
// red when it tells of an error.
#include <QString>

#include <functional>

namespace plendoro {

using StatusSink = std::function<void(const QString& text, bool error)>;

} // namespace plendoro
