#pragma once
// The one thread that talks to the tracker. Every exchange runs here as a
// job, one at a time, so the window's thread never waits on the wire. A
// job reports to the window by posting to it (Post), and the window learns
// that the job ended through its `done`, run on the window's thread after
// everything the job posted.
#include <QObject>
#include <QThread>

#include <functional>

namespace plendoro {

class DeviceWorker final : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Running };

    explicit DeviceWorker(QObject* parent = nullptr);
    // Lets a running job finish; what it posts afterwards is dropped.
    ~DeviceWorker() override;

    // Starts the job on the worker's thread; false, and nothing runs, while
    // another job is running.
    bool Run(std::function<void()> job, std::function<void()> done = {});
    State CurrentState() const { return state_; }
    bool Running() const { return state_ == State::Running; }

    // From a job: runs `what` on the thread of `receiver` (the window's),
    // unless the receiver is gone by then. The job does not wait for it.
    static void Post(QObject* receiver, std::function<void()> what);

signals:
    // Emitted on the window's thread after `done` has run.
    void JobEnded();

private:
    QThread thread_;
    QObject* executor_ = nullptr; // lives on thread_
    State state_ = State::Idle;
};

} // namespace plendoro
