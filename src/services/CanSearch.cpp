#include "services/CanSearch.h"

#include "editor/Dialogs.h"
#include "link/TextExchange.h"
#include "model/TextNumbers.h"
#include "services/DeviceGate.h"
#include "services/DeviceWorker.h"
#include "services/core/CanParameters.h"
#include "services/core/CanState.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace plendoro {

CanSearch::CanSearch(SettingsEditor& editor, UsbLink& link, StatusSink showStatus, Clock& clock, QObject* parent)
    : QObject(parent ? parent : &editor),
      editor_(editor),
      link_(link),
      showStatus_(std::move(showStatus)),
      clock_(clock),
      timer_(this)
{
    setObjectName(QStringLiteral("CanSearch"));
    timer_.setObjectName(QStringLiteral("CANSearchTimer"));
    timer_.setInterval(kPollIntervalMs);
    // A coarse timer may fire early; the duration is judged on whole polls.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CanSearch::CANSearchTimerTimer);
    if (auto* button = editor.FieldAs<QAbstractButton>(QStringLiteral("btnCANSearch")))
        connect(button, &QAbstractButton::clicked, this, &CanSearch::btnCANSearchClick);
}

void CanSearch::ShowStatus(const QString& text, bool error)
{
    if (showStatus_)
        showStatus_(text, error);
}

void CanSearch::Enable(const char* name, bool on)
{
    if (QWidget* w = editor_.Field(QLatin1String(name)))
        w->setEnabled(on);
}

CanSearch::Exchange CanSearch::Send(std::string_view command, std::size_t capacity, unsigned timeoutMs,
                                    std::string& reply)
{
    reply.clear();
    if (!link_.Open())
        return Exchange::OpenFailed;
    SendText(link_, reinterpret_cast<const std::uint8_t*>(command.data()), command.size());
    std::vector<std::uint8_t> buffer(capacity);
    // Only the bus report is long enough to outlast one timed read.
    const std::size_t got = command == kCanTestCommand
                                ? ReadTimedUntil(link_, buffer.data(), capacity, timeoutMs, ';')
                                : std::min(ReadTimedReply(link_, buffer.data(), capacity, timeoutMs), capacity);
    link_.Close();
    reply.assign(reinterpret_cast<const char*>(buffer.data()), got);
    return Exchange::Replied;
}

void CanSearch::Request(std::string_view command, std::size_t capacity, unsigned timeoutMs, ReplyFn then)
{
    if (!worker_) {
        std::string reply;
        const Exchange e = Send(command, capacity, timeoutMs, reply);
        then(e, reply);
        return;
    }
    auto result = std::make_shared<std::pair<Exchange, std::string>>(Exchange::OpenFailed, std::string());
    const std::string text(command);
    const bool started = worker_->Run(
        [this, text, capacity, timeoutMs, result] { result->first = Send(text, capacity, timeoutMs, result->second); },
        [result, then = std::move(then)] { then(result->first, result->second); });
    if (!started) // the worker is held by another command: as if the device would not open
        then(Exchange::OpenFailed, std::string());
}

void CanSearch::btnCANSearchClick()
{
    if (busy_)
        return;
    const bool clear =
        editor_.Dialogs().Ask(editor_.Pages(), kAppCaption, QStringLiteral("Очистить результаты предыдущего поиска?"),
                              DialogService::Icon::Warning);
    // A search refused because the tracker is busy clears nothing.
    if (gate_) {
        ticket_ = gate_->Begin(DeviceCommand::CanSearch);
        if (ticket_ == CommandGate::kRefused)
            return;
    }
    if (clear && editor_.can)
        editor_.can->ClearCanParameters();
    SetBusy(true);
    StartCanSearch();
}

void CanSearch::StartCanSearch()
{
    Request(kStartCanSearchCommand, kCanCommandReplyCapacity, kCanCommandTimeoutMs,
            [this](Exchange e, const std::string& reply) {
                if (!StartAccepted(e, reply)) {
                    SetBusy(false);
                    return;
                }
                timer_.start();
                Enable("btnCANSearch", false);
                Enable("edCANSearchLen", false);
                startTick_ = static_cast<std::uint32_t>(clock_.TickMs());
                searching_ = true;
                ShowStatus(QStringLiteral("Поиск параметров CAN"), false);
                if (editor_.can)
                    editor_.can->DisableCanListButtons();
            });
}

bool CanSearch::StartAccepted(Exchange e, const std::string& reply)
{
    if (e == Exchange::OpenFailed) {
        ShowStatus(QStringLiteral("Ошибка при открытии"), true);
        return false;
    }
    if (!ReplyBeginsWith(reply, kSearchStartedReply)) {
        ShowStatus(QStringLiteral("Прибор не отвечает"), true);
        return false;
    }
    return true;
}

void CanSearch::CANSearchTimerTimer()
{
    // A slow exchange must not let the next tick start inside this one.
    timer_.stop();
    Request(kCanTestCommand, kCanStateReplyCapacity, kCanStateTimeoutMs,
            [this](Exchange e, const std::string& reply) { TakePoll(e, reply); });
}

void CanSearch::TakePoll(Exchange e, const std::string& reply)
{
    if (e == Exchange::OpenFailed) {
        ShowStatus(QStringLiteral("Ошибка при открытии"), true);
    } else if (editor_.can) {
        if (const auto records = ParseCanState(reply)) {
            std::vector<TCANId_V3>& found = editor_.can->FoundCanParameters();
            for (const CanStateRecord& r : *records) {
                // A known identifier keeps the data of its first report.
                if (FindCanParameter(found, r.Id))
                    continue;
                found.push_back({r.Id, 0, 0, 0, r.dA, r.dB});
                editor_.can->RebuildCanLists();
            }
        }
    }

    const QLineEdit* length = editor_.FieldAs<QLineEdit>(QStringLiteral("edCANSearchLen"));
    const std::int64_t seconds =
        ReadDecimal(length ? length->text().toStdString() : std::string(), kDefaultDurationSeconds);
    const std::uint32_t elapsed = static_cast<std::uint32_t>(clock_.TickMs()) - startTick_;
    // In 64 bits, so a long duration cannot wrap into a short one.
    if (static_cast<std::int64_t>(elapsed) > seconds * 1000) {
        searching_ = false;
        Enable("btnCANSearch", true);
        StopCanSearch();
    } else {
        if (e != Exchange::OpenFailed) {
            const std::int64_t left = (seconds * 1000 - static_cast<std::int64_t>(elapsed) + 999) / 1000;
            ShowStatus(QStringLiteral("Поиск параметров CAN, осталось %1 с").arg(left), false);
        }
        timer_.start();
    }
}

void CanSearch::StopCanSearch()
{
    Enable("edCANSearchLen", true);
    Request(kStopCanSearchCommand, kCanCommandReplyCapacity, kCanCommandTimeoutMs,
            [this](Exchange e, const std::string& reply) {
                if (e == Exchange::OpenFailed)
                    ShowStatus(QStringLiteral("Ошибка при открытии"), true);
                else if (!ReplyBeginsWith(reply, kSearchStoppedReply))
                    ShowStatus(QStringLiteral("Прибор не отвечает"), true);
                else
                    ShowStatus(QStringLiteral("Поиск завершен"), false);
                SetBusy(false);
            });
}

void CanSearch::SetBusy(bool busy)
{
    if (busy_ == busy)
        return;
    busy_ = busy;
    if (!busy && gate_)
        gate_->End(ticket_);
    emit BusyChanged(busy);
}

} // namespace plendoro
