// The header pass on a worker with a local event loop waiting for it.
#include "ui/processing/header_reading.hpp"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <memory>
#include <mutex>

#include "common/worker.hpp"

namespace kelpira::ui {
namespace {

// What the worker shares with the waiting loop. The loop is cleared (under the lock) before it
// goes away, so a worker that outlives the wait never posts to it.
struct HeaderRead {
    std::mutex mutex;
    QEventLoop* loop = nullptr;
    std::optional<processing::OpenedRawFile> result;  // written by the worker before it ends
};

}  // namespace

std::optional<processing::OpenedRawFile> read_header_off_thread(
    const std::string& path, processing::RawChemistry chemistry) {
    auto shared = std::make_shared<HeaderRead>();
    QEventLoop loop;
    shared->loop = &loop;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    common::Worker worker([shared, path, chemistry](common::WorkerControl&) {
        auto result = processing::read_raw_header(path, chemistry);
        std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        if (shared->loop != nullptr) {
            QMetaObject::invokeMethod(shared->loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    {
        std::lock_guard lock(shared->mutex);
        shared->loop = nullptr;
    }
    QApplication::restoreOverrideCursor();
    // Normally the worker has ended the loop and only its thread's exit remains. When the
    // application quit the loop first, a read still going is let go and counts as failed.
    if (!worker.stop(common::Worker::kDefaultStopWait)) {
        return std::nullopt;
    }
    std::lock_guard lock(shared->mutex);
    return std::move(shared->result);
}

}  // namespace kelpira::ui
