// The header pass on a worker, handing its result back to the UI thread.
#include "ui/processing/header_reading.hpp"

#include <QApplication>
#include <QCursor>
#include <QPointer>

#include "common/worker.hpp"
#include "ui/common/handoff.hpp"

namespace kelpira::ui {
namespace {

// One read under way: owned by the parent widget (or by itself when there is none), it ends
// the busy state and deletes itself once the result is delivered.
class HeaderReading : public QObject {
  public:
    HeaderReading(QWidget* parent, const std::string& path, processing::RawChemistry chemistry,
                  HeaderRead done)
        : QObject(parent), parent_(parent), done_(std::move(done)), handoff_(this) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        if (parent_) {
            parent_->setEnabled(false);
        }
        worker_.emplace([handoff = handoff_, path, chemistry](common::WorkerControl&) {
            auto result = processing::read_raw_header(path, chemistry);
            handoff.post([result = std::move(result)](HeaderReading& r) mutable {
                r.finish(std::move(result));
            });
        });
    }

    // Only when the parent goes first: a read still going is let go, it owns all it uses.
    ~HeaderReading() override {
        handoff_.close();
        end_busy();
    }

  private:
    void finish(std::optional<processing::OpenedRawFile> result) {
        // The body's last act was to post this call, so the wait ends at once.
        worker_->wait_finished(common::Worker::kDefaultStopWait);
        end_busy();
        auto done = std::move(done_);
        deleteLater();
        done(std::move(result));
    }

    void end_busy() {
        if (busy_) {
            busy_ = false;
            QApplication::restoreOverrideCursor();
            if (parent_) {
                parent_->setEnabled(true);
            }
        }
    }

    QPointer<QWidget> parent_;
    HeaderRead done_;
    Handoff<HeaderReading> handoff_;
    bool busy_ = true;
    std::optional<common::Worker> worker_;  // last: stopped before the rest goes
};

}  // namespace

void read_header_off_thread(QWidget* parent, const std::string& path,
                            processing::RawChemistry chemistry, HeaderRead done) {
    new HeaderReading(parent, path, chemistry, std::move(done));
}

}  // namespace kelpira::ui
