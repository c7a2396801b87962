#include "services/DeviceWorker.h"

#include <QMetaObject>
#include <QPointer>

namespace plendoro {

DeviceWorker::DeviceWorker(QObject* parent) : QObject(parent)
{
    thread_.setObjectName(QStringLiteral("DeviceWorker"));
    executor_ = new QObject;
    executor_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, executor_, &QObject::deleteLater);
    thread_.start();
}

DeviceWorker::~DeviceWorker()
{
    thread_.quit();
    thread_.wait();
}

bool DeviceWorker::Run(std::function<void()> job, std::function<void()> done)
{
    if (state_ == State::Running)
        return false;
    state_ = State::Running;
    QPointer<DeviceWorker> self(this);
    QMetaObject::invokeMethod(
        executor_,
        [self, job = std::move(job), done = std::move(done)]() mutable {
            job();
            // Queued behind everything the job posted to the window.
            if (self)
                Post(self, [self, done = std::move(done)] {
                    self->state_ = State::Idle;
                    if (done)
                        done();
                    if (self)
                        emit self->JobEnded();
                });
        },
        Qt::QueuedConnection);
    return true;
}

void DeviceWorker::Post(QObject* receiver, std::function<void()> what)
{
    QMetaObject::invokeMethod(receiver, std::move(what), Qt::QueuedConnection);
}

} // namespace plendoro
