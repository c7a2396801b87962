#pragma once
// The byte log in Qt's logging: the link channel is the category
// "plendoro.link", the presence channel "plendoro.presence". Both print
// debug messages only when a rule turns them on, for example
//   QT_LOGGING_RULES="plendoro.link.debug=true;plendoro.presence.debug=true"
#include <QLoggingCategory>

namespace plendoro {

Q_DECLARE_LOGGING_CATEGORY(lcLink)
Q_DECLARE_LOGGING_CATEGORY(lcPresence)

// Routes the core's byte log into the two categories. While a category's
// debug level is off, the core formats nothing for it.
void InstallLinkLogging();

} // namespace plendoro
