#include "app/LinkLogging.h"

#include "common/Log.h"

#include <QString>

namespace plendoro {

// Info and above by default: the byte log is for fault reports, not for
// every run.
Q_LOGGING_CATEGORY(lcLink, "plendoro.link", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPresence, "plendoro.presence", QtInfoMsg)

namespace {

const QLoggingCategory& CategoryOf(LogChannel channel)
{
    return channel == LogChannel::Presence ? lcPresence() : lcLink();
}

bool Wanted(LogChannel channel)
{
    return CategoryOf(channel).isDebugEnabled();
}

void Print(LogChannel channel, std::string_view line)
{
    const QLoggingCategory& category = CategoryOf(channel);
    if (category.isDebugEnabled())
        QMessageLogger(nullptr, 0, nullptr, category.categoryName()).debug().noquote()
            << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

} // namespace

void InstallLinkLogging()
{
    SetLogSink(&Print, &Wanted);
}

} // namespace plendoro
