#include "app/qt_main_thread.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

void TQtMainThread::Post(TTask task) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, task = std::move(task)] {
            ++TasksRun;
            task();
        },
        Qt::QueuedConnection);
}

void TQtMainThread::InvokeBlocking(TTask task) {
    if (IsMainThread()) {
        task();
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, &task] {
            ++TasksRun;
            task();
        },
        Qt::BlockingQueuedConnection);
}

bool TQtMainThread::ProcessPending(std::chrono::milliseconds wait) {
    const unsigned before = TasksRun.load();
    ++Depth;
    if (wait.count() > 0) {
        // Wakes the loop at the latest when the wait is over.
        QTimer timer;
        timer.setSingleShot(true);
        timer.start(static_cast<int>(wait.count()));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --Depth;
    return TasksRun.load() != before;
}

bool TQtMainThread::IsMainThread() const { return QThread::currentThread() == QCoreApplication::instance()->thread(); }
